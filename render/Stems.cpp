#include "render/Stems.h"

#include <algorithm>
#include <memory>
#include <span>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"
#include "kit/InstrumentTable.h"
#include "render/RenderProgress.h"
#include "render/SlotShortName.h"
#include "render/SongMix.h"
#include "render/SongRender.h"
#include "render/wavaudio.h"

namespace fs = std::filesystem;

namespace {

// At most this many bytes of a slot file's title go into a stem's name, which
// stays well within what a file name may hold.
constexpr std::size_t kTitleBytes = 100;

std::string StemName(const InstrumentTable& chooser, const SlotSounds& slots, int instrument) {
  const std::string name = FileNameFromLatin1(InstrumentName(chooser.Item(instrument)));
  const int slot = instrument - chooser.LastKitIndex();
  if (slot < 1 || slot > static_cast<int>(slots.size())) return name;
  const SlotSound& sound = slots[static_cast<std::size_t>(slot - 1)];
  const std::string title =
      SlotFileTitle(sound.chosenFile.empty() ? sound.fileName : sound.chosenFile);
  if (title.empty()) return name;
  return name + " (" + FileNameFromFileName(title, kTitleBytes) + ")";
}

}  // namespace

std::vector<std::string> StemFileNames(const InstrumentTable& chooser, const SlotSounds& slots,
                                       const std::vector<int>& instruments) {
  const int width = std::max<int>(2, static_cast<int>(std::to_string(instruments.size()).size()));
  std::vector<std::string> names;
  for (std::size_t k = 0; k < instruments.size(); ++k) {
    std::string place = std::to_string(k + 1);
    place.insert(0, static_cast<std::size_t>(width) - std::min<std::size_t>(width, place.size()),
                 '0');
    names.push_back(place + " " + StemName(chooser, slots, instruments[k]) + ".wav");
  }
  return names;
}

bool IsStemFileName(const std::string& name) {
  const std::size_t digits = name.find_first_not_of("0123456789");
  if (digits == std::string::npos || digits < 2 || name[digits] != ' ') return false;
  const fs::path path(name);
  return name.size() > digits + 1 + 4 && SameTextIgnoringCase(path.extension().string(), ".wav");
}

std::string OtherStemsText(std::size_t others) {
  if (others == 0) return "";
  if (others == 1) return "1 other stem file is in the folder";
  return std::to_string(others) + " other stem files are in the folder";
}

namespace {

std::size_t CountOtherStems(const fs::path& folder, const std::vector<std::string>& ours) {
  std::size_t others = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (IsStemFileName(name) && std::find(ours.begin(), ours.end(), name) == ours.end()) ++others;
  }
  return others;
}

}  // namespace

StemsResult ExportStems(const RenderInput& input, const Lines& sequence,
                        const std::vector<int>& used, const fs::path& folder,
                        const SongShape& shape, RenderProgress& progress) {
  wavaudio::TWave format;
  format.Format.nSamplesPerSec = 44100;
  std::vector<InstrumentPass> passes = PlanRender(input, sequence, used, format);
  // Every stem is as long as the render, silenced instruments' hits included.
  const std::int32_t songEnd = SongEndOf(passes);
  std::erase_if(passes, [](const InstrumentPass& pass) { return pass.silenced; });
  std::vector<int> instruments;
  for (const auto& pass : passes) instruments.push_back(pass.instrument);
  const std::vector<std::string> names = StemFileNames(input.chooser, input.slots, instruments);
  const OutputRule rule = OutputRuleOf(input);
  CheckOutput(rule, folder);
  for (const std::string& name : names) CheckOutput(rule, folder / name);

  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder)) throw EFCreateError(DisplayPath(folder));

  StemsResult result;
  result.planned = passes.size();
  // Each stem's mixing, then its frames when a mono or loop file is written.
  const std::int64_t shaping =
      RenderIsFinal(folder / "stem.wav", shape) ? 0 : ShapedFrames(songEnd, shape);
  std::int64_t total = 0;
  for (const auto& pass : passes) total += MixWorkOf({&pass, 1}) + shaping;
  const RenderProgressScope shown(progress, total);
  std::int64_t done = 0;
  for (std::size_t k = 0; k < passes.size(); ++k) {
    const fs::path stem = folder / names[k];
    const PartFile work(stem, RenderIsFinal(stem, shape) ? ".part" : ".mix.part");
    auto out = std::make_unique<wavaudio::TWave>();
    out->Format = format.Format;
    out->FileName = work.Path();
    try {
      out->SetUseFile(true);
    } catch (const std::exception&) {
      throw EFCreateError(DisplayPath(stem));
    }
    const std::span<const InstrumentPass> alone(&passes[k], 1);
    const MixOutcome mixed = MixNamingFile(
        stem, [&] { return MixToFile(std::move(out), alone, songEnd, progress, done); });
    if (mixed.cancelled) {
      result.cancelled = true;
      break;
    }
    done += MixWorkOf(alone);
    ShapedSong shaped;
    try {
      shaped = DeliverSong(work.Path(), mixed.frames, stem, shape, progress, done, false);
    } catch (const EFileError&) {
      throw;
    } catch (const std::exception&) {
      throw EFCreateError(DisplayPath(stem));
    }
    if (shaped.cancelled) {
      result.cancelled = true;
      break;
    }
    result.frames = shaped.frames;
    result.written.push_back(stem);
    done += shaping;
  }
  result.others = CountOtherStems(folder, names);
  return result;
}
