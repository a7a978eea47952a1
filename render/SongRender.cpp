#include "render/SongRender.h"

#include <memory>

#include "common/Exception.h"
#include "common/Files.h"
#include "render/RenderProgress.h"
#include "render/SongMix.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"

namespace fs = std::filesystem;

namespace {

// The file the song is mixed into: the destination's part file when the
// render's own WAV is what the destination gets, else a work file beside it.
std::unique_ptr<PartFile> WorkFileFor(const fs::path& destination, const SongShape& shape) {
  return std::make_unique<PartFile>(destination,
                                    RenderIsFinal(destination, shape) ? ".part" : ".mix.part");
}

}  // namespace

MixOutcome MixNamingFile(const fs::path& destination, const std::function<MixOutcome()>& mix) {
  try {
    return mix();
  } catch (const wavaudio::EWriteError& error) {
    throw EFileError(DisplayPath(destination), error.what());
  }
}

ShapedSong DeliverSong(const fs::path& work, std::int64_t workFrames, const fs::path& destination,
                       const SongShape& shape, RenderProgress& progress, std::int64_t progressBase,
                       bool keepStopped) {
  if (RenderIsFinal(destination, shape)) {
    MoveInto(work, destination);
    return {workFrames, false};
  }
  const PartFile part(destination);
  const ShapedSong shaped =
      WriteShapedSong(work, part.Path(), destination, shape, progress, progressBase);
  if (!shaped.cancelled || keepStopped) MoveInto(part.Path(), destination);
  return shaped;
}

RenderResult AssembleSong(const RenderInput& input, const Lines& sequence,
                          const std::vector<int>& used, const fs::path& destination,
                          RenderProgress& progress,
                          const std::function<void(const std::string&)>& onFallback,
                          const SongShape& shape) {
  CheckOutput(OutputRuleOf(input), destination);
  CheckSongFileType(destination);
  auto out = std::make_unique<wavaudio::TWave>();
  out->Format.nSamplesPerSec = 44100;
  const std::vector<InstrumentPass> passes = PlanRender(input, sequence, used, *out);

  const fs::path fallback = input.home / kRenderFallbackFile;
  // The fallback is written as any output is: an old temp.wav stays until
  // the new one is complete.
  auto tellFallback = [&] { onFallback(kRenderFallbackText + DisplayPath(fallback)); };
  RenderResult result;
  result.savedTo = destination;
  // The song is built in its own file beside the destination, behind room
  // for the header, so finishing it costs one rename and a good file there
  // is replaced only by a complete one.
  auto work = WorkFileFor(destination, shape);
  out->FileName = work->Path();
  try {
    out->SetUseFile(true);
  } catch (const std::exception&) {
    if (!onFallback) throw EFCreateError(DisplayPath(destination));
    tellFallback();
    result.outcome = RenderOutcome::SavedToFallback;
    result.savedTo = fallback;
    work = WorkFileFor(fallback, shape);
    out->FileName = work->Path();
    out->SetUseFile(true);
  }

  const std::int64_t mixWork = MixWorkOf(passes);
  const RenderProgressScope shown(
      progress,
      mixWork +
          (RenderIsFinal(result.savedTo, shape) ? 0 : ShapedFrames(SongEndOf(passes), shape)));
  const MixOutcome mixed =
      MixNamingFile(result.savedTo, [&] { return MixToFile(std::move(out), passes, 0, progress); });
  // A song stopped while mixing is written out as it stands.
  RenderProgress unstoppable;
  RenderProgress& writing = mixed.cancelled ? unstoppable : progress;
  if (mixed.cancelled) result.outcome = RenderOutcome::Cancelled;
  auto deliver = [&](const fs::path& to) {
    const ShapedSong shaped =
        DeliverSong(work->Path(), mixed.frames, to, shape, writing, mixWork, true);
    result.frames = shaped.frames;
    if (shaped.cancelled) result.outcome = RenderOutcome::Cancelled;
  };
  try {
    deliver(result.savedTo);
    return result;
  } catch (const EFileError&) {
    // The error names the file and says what the system said.
    if (!onFallback || result.outcome != RenderOutcome::Saved) throw;
  } catch (const std::exception&) {
    if (!onFallback || result.outcome != RenderOutcome::Saved)
      throw EFCreateError(DisplayPath(result.savedTo));
  }
  tellFallback();
  deliver(fallback);
  result.outcome = RenderOutcome::SavedToFallback;
  result.savedTo = fallback;
  return result;
}
