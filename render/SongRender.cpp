#include "render/SongRender.h"

#include <memory>

#include "common/Exception.h"
#include "common/Files.h"
#include "render/RenderProgress.h"
#include "render/SongMix.h"
#include "render/wavaudio.h"

namespace fs = std::filesystem;

namespace {

// The file the song is mixed into: the destination's part file when the
// render's own WAV is what the destination gets, else a work file beside it.
std::unique_ptr<PartFile> WorkFileFor(const fs::path& destination, const SongShape& shape) {
  return std::make_unique<PartFile>(destination,
                                    RenderIsFinal(destination, shape) ? ".part" : ".mix.part");
}

}  // namespace

std::int64_t DeliverSong(const fs::path& work, std::int64_t workFrames, const fs::path& destination,
                         const SongShape& shape) {
  if (RenderIsFinal(destination, shape)) {
    MoveInto(work, destination);
    return workFrames;
  }
  const PartFile part(destination);
  const std::int64_t frames = WriteShapedSong(work, part.Path(), destination, shape);
  MoveInto(part.Path(), destination);
  return frames;
}

RenderResult AssembleSong(const RenderInput& input, const Lines& sequence,
                          const std::vector<int>& used, const fs::path& destination,
                          RenderProgress& progress,
                          const std::function<void(const std::string&)>& onFallback,
                          const SongShape& shape) {
  CheckSongFileType(destination);
  auto out = std::make_unique<wavaudio::TWave>();
  out->Format.nSamplesPerSec = 44100;
  const std::vector<InstrumentPass> passes = PlanRender(input, sequence, used, *out);

  const fs::path fallback = input.home / kRenderFallbackFile;
  auto tellFallback = [&] {
    onFallback(kRenderFallbackText + DisplayPath(fallback));
    std::error_code ignored;
    fs::remove(fallback, ignored);
  };
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

  MixOutcome mixed;
  {
    const RenderProgressScope shown(progress, MixWorkOf(passes));
    mixed = MixToFile(std::move(out), passes, 0, progress);
  }
  if (mixed.cancelled) result.outcome = RenderOutcome::Cancelled;
  try {
    result.frames = DeliverSong(work->Path(), mixed.frames, result.savedTo, shape);
    return result;
  } catch (const std::exception&) {
    if (!onFallback || result.outcome != RenderOutcome::Saved)
      throw EFCreateError(DisplayPath(result.savedTo));
  }
  tellFallback();
  result.frames = DeliverSong(work->Path(), mixed.frames, fallback, shape);
  result.outcome = RenderOutcome::SavedToFallback;
  result.savedTo = fallback;
  return result;
}
