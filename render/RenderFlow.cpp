#include "render/RenderFlow.h"

#include <optional>

#include "common/Files.h"
#include "common/OutputRule.h"
#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "render/HitTable.h"
#include "render/InstrumentCheck.h"
#include "render/LoopFold.h"
#include "render/MidiExport.h"
#include "render/RenderProgress.h"
#include "render/SongRender.h"
#include "render/Stems.h"

namespace {

// Restores the play buttons and empties the play sequence however the
// work ends.
class IdleOnExit {
 public:
  explicit IdleOnExit(RenderHost& host) : host_(host) {}
  ~IdleOnExit() {
    if (host_.setPlayButtonsEnabled) host_.setPlayButtonsEnabled(true);
    if (host_.clearPlaySequence) host_.clearPlaySequence();
  }

 private:
  RenderHost& host_;
};

class RunningFlag {
 public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }

 private:
  bool& flag_;
};

void Tell(Prompts& prompts, const std::string& text) {
  prompts.Message(text, "Korvanto", PromptButtons::Ok);
}

// The compiled song as the user chose it, and what it covers.
struct Covered {
  Lines sequence;
  ExportCoverage coverage;
};

// Compiles the whole song; with an entry after the first selected, asks
// whether to cover the whole song or the list from that entry on. Nothing
// when the user cancelled. The selection is left as a compile from the
// covered entry leaves it.
std::optional<Covered> CompileCovered(RenderHost& host, Prompts& prompts, const char* title) {
  const bool choosable = host.selectedEntry && host.entryName && host.selectEntry;
  const int selected = choosable ? host.selectedEntry() : ExportCoverage::kWholeSong;
  if (selected > 0) host.selectEntry(ExportCoverage::kWholeSong);
  Covered whole{host.compile(), {}};
  whole.coverage.seconds = StepsOf(whole.sequence).length;
  if (selected <= 0) return whole;
  Covered rest{BlocksFrom(whole.sequence, selected), {selected, host.entryName(selected), 0}};
  rest.coverage.seconds = StepsOf(rest.sequence).length;
  const auto choice =
      prompts.Choose(CoverageText(whole.coverage) + "\n" + CoverageText(rest.coverage), title,
                     {kWholeSongChoice, kFromSelectedChoice}, 0);
  if (!choice) {
    host.selectEntry(selected);  // nothing done: the selection stays
    return std::nullopt;
  }
  if (*choice == 0) return whole;
  host.selectEntry(selected - 1);
  return rest;
}

// "Export MIDI - The whole song: 0:09.7".
std::string CoveredTitle(const char* title, const ExportCoverage& coverage) {
  return std::string(title) + " - " + CoverageText(coverage);
}

// The suggested file: the song's name with the extension.
std::string SuggestedName(const RenderHost& host, const char* extension) {
  return host.songName.empty() ? "" : host.songName + extension;
}

RenderInput InputOf(const RenderHost& host, const SlotSounds& slots) {
  RenderInput input{host.home, *host.kit, *host.chooser, slots};
  input.groove = host.groove;
  input.mix = host.mix;
  return input;
}

// Makes the folder an output file goes into, once the file may be written;
// a folder that can't be made fails at the writing, as before.
void MakeOutputFolder(const RenderInput& input, const std::filesystem::path& file) {
  CheckOutput(OutputRuleOf(input), file);
  std::error_code ec;
  const auto folder = std::filesystem::absolute(file, ec).parent_path();
  if (!ec) std::filesystem::create_directories(folder, ec);
}

// The sounds written for the assembly, and the compiled song.
struct Prepared {
  SlotSounds slots;
  Lines sequence;
  ExportCoverage coverage;
  std::vector<int> used;
  SongSteps steps;
};

// Cells naming instruments the kit lacks are told of before the dialog.
std::optional<Prepared> Prepare(RenderHost& host, Prompts& prompts, const char* title) {
  auto covered = CompileCovered(host, prompts, title);
  if (!covered) return std::nullopt;
  const auto work = HomeWorkFolder(host.home);
  DeleteRenderFiles(work, host.chooser->LastKitIndex());
  ExportKit(work, *host.kit);
  Prepared prepared;
  prepared.slots = host.slots();
  ExportSlots(host.home, work, prepared.slots);
  prepared.sequence = std::move(covered->sequence);
  prepared.coverage = covered->coverage;
  prepared.used = UsedInstruments(prepared.sequence, *host.chooser);
  prepared.steps = StepsOf(prepared.sequence);
  CheckInstruments(prepared.sequence, *host.chooser, prepared.used,
                   [&](const std::string& text) { Tell(prompts, text); });
  return prepared;
}

// The meters of the blocks from the block-th on, their rows counted from it.
std::vector<PatternMeter> MetersFrom(const std::vector<PatternMeter>& meters, int block) {
  if (block >= static_cast<int>(meters.size())) return {};
  std::vector<PatternMeter> rest(meters.begin() + block, meters.end());
  const auto first = rest.front().firstRow;
  for (PatternMeter& meter : rest) meter.firstRow -= first;
  return rest;
}

SongShape ShapeOf(const Prepared& prepared, bool loop, bool mono) {
  SongShape shape;
  shape.mono = mono;
  if (loop) shape.loopFrames = LoopFrames(prepared.steps);
  return shape;
}

}  // namespace

FileRequest RenderFileRequest(const std::filesystem::path& home) {
  FileRequest request;
  request.title = kRenderDialogTitle;
  request.filter = kRenderDialogFilter;
  request.startDir = home.string();
  request.defaultSuffix = "wav";
  request.askBeforeOverwrite = true;
  request.folderKind = "renders";
  return request;
}

void RenderFlow::Run(RenderHost& host, const std::function<void()>& work) {
  if (running_) return;
  RunningFlag running(running_);
  host.setPlayButtonsEnabled(false);
  if (host.playListEmpty()) {
    host.setPlayButtonsEnabled(true);
    return;
  }
  IdleOnExit idle(host);
  work();
}

void RenderFlow::RendorClick(RenderHost& host, Prompts& prompts, RenderProgress& progress) {
  Run(host, [&] {
    const auto prepared = Prepare(host, prompts, kRenderDialogTitle);
    if (!prepared) return;
    FileRequest request = RenderFileRequest(host.home);
    request.title = CoveredTitle(kRenderDialogTitle, prepared->coverage);
    request.fileName = SuggestedName(host, ".wav");
    const auto chosen = prompts.SaveFile(request);
    if (!chosen || chosen->empty()) return;
    const RenderInput input = InputOf(host, prepared->slots);
    MakeOutputFolder(input, *chosen);
    const SongShape shape = ShapeOf(*prepared, host.settings.loop, false);
    const RenderResult result = AssembleSong(
        input, prepared->sequence, prepared->used, *chosen, progress,
        [&](const std::string& message) { Tell(prompts, message); }, shape);
    if (result.outcome == RenderOutcome::Cancelled) return;
    std::string text =
        "Rendered to " + DisplayPath(result.savedTo) + "\n" + CoverageText(prepared->coverage);
    if (shape.Loop()) text += "\nLoop of " + LoopLengthText(prepared->steps.rows, result.frames);
    Tell(prompts, text);
  });
}

void RenderFlow::ExportStemsClick(RenderHost& host, Prompts& prompts, RenderProgress& progress) {
  Run(host, [&] {
    const auto prepared = Prepare(host, prompts, kStemsDialogTitle);
    if (!prepared) return;
    FileRequest request;
    request.title = CoveredTitle(kStemsDialogTitle, prepared->coverage);
    request.startDir = host.home.string();
    request.folderKind = "renders";
    const auto folder = prompts.ChooseFolder(request);
    if (!folder || folder->empty()) return;
    const RenderInput input = InputOf(host, prepared->slots);
    const SongShape shape = ShapeOf(*prepared, host.settings.loop, host.settings.monoStems);
    const StemsResult result =
        ExportStems(input, prepared->sequence, prepared->used, *folder, shape, progress);
    const std::string written = std::to_string(result.written.size()) + " of " +
                                std::to_string(result.planned) + " stems were written to " +
                                *folder;
    const std::string others = OtherStemsText(result.others);
    const std::string note = others.empty() ? "" : "\n" + others;
    if (result.cancelled) return Tell(prompts, "Stopped: " + written + note);
    std::string text = written + note + "\n" + CoverageText(prepared->coverage);
    if (shape.Loop()) text += "\nLoop of " + LoopLengthText(prepared->steps.rows, result.frames);
    Tell(prompts, text);
  });
}

void RenderFlow::ExportMidiClick(RenderHost& host, Prompts& prompts) {
  // Quick, so the players are left as they are.
  if (running_ || host.playListEmpty()) return;
  RunningFlag running(running_);
  const auto covered = CompileCovered(host, prompts, kMidiDialogTitle);
  if (!covered) return;
  std::vector<PatternMeter> meters = host.meters ? host.meters() : std::vector<PatternMeter>{};
  if (covered->coverage.entry > 0) meters = MetersFrom(meters, covered->coverage.entry);
  FileRequest request;
  request.title = CoveredTitle(kMidiDialogTitle, covered->coverage);
  request.filter = kMidiDialogFilter;
  request.startDir = host.home.string();
  request.defaultSuffix = "mid";
  request.askBeforeOverwrite = true;
  request.folderKind = "renders";
  request.fileName = SuggestedName(host, ".mid");
  const auto chosen = prompts.SaveFile(request);
  if (!chosen || chosen->empty()) return;
  const RenderInput input = InputOf(host, host.slots());
  MakeOutputFolder(input, *chosen);
  WriteFileAtomically(
      *chosen, MidiFileBytes(covered->sequence, *host.chooser, input.slots, meters, host.groove,
                             host.mix));
  Tell(prompts,
       "MIDI file written to " + DisplayPath(*chosen) + "\n" + CoverageText(covered->coverage));
}
