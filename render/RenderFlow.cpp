#include "render/RenderFlow.h"

#include "common/Files.h"
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

// The sounds written for the assembly, and the compiled song.
struct Prepared {
  SlotSounds slots;
  Lines sequence;
  std::vector<int> used;
  SongSteps steps;
};

// Cells naming instruments the kit lacks are told of before the dialog.
Prepared Prepare(RenderHost& host, Prompts& prompts) {
  const auto work = HomeWorkFolder(host.home);
  DeleteRenderFiles(work, host.chooser->LastKitIndex());
  ExportKit(work, *host.kit);
  Prepared prepared;
  prepared.slots = host.slots();
  ExportSlots(host.home, work, prepared.slots);
  prepared.sequence = host.compile();
  prepared.used = UsedInstruments(prepared.sequence, *host.chooser);
  prepared.steps = StepsOf(prepared.sequence);
  CheckInstruments(prepared.sequence, *host.chooser, prepared.used,
                   [&](const std::string& text) { Tell(prompts, text); });
  return prepared;
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
    const Prepared prepared = Prepare(host, prompts);
    const auto chosen = prompts.SaveFile(RenderFileRequest(host.home));
    if (!chosen || chosen->empty()) return;
    const RenderInput input{host.home, *host.kit, *host.chooser, prepared.slots};
    const SongShape shape = ShapeOf(prepared, host.settings.loop, false);
    const RenderResult result = AssembleSong(
        input, prepared.sequence, prepared.used, *chosen, progress,
        [&](const std::string& message) { Tell(prompts, message); }, shape);
    if (shape.Loop() && result.outcome != RenderOutcome::Cancelled)
      Tell(prompts, "Loop of " + LoopLengthText(prepared.steps.rows, result.frames));
  });
}

void RenderFlow::ExportStemsClick(RenderHost& host, Prompts& prompts, RenderProgress& progress) {
  Run(host, [&] {
    const Prepared prepared = Prepare(host, prompts);
    FileRequest request;
    request.title = kStemsDialogTitle;
    request.startDir = host.home.string();
    const auto folder = prompts.ChooseFolder(request);
    if (!folder || folder->empty()) return;
    const RenderInput input{host.home, *host.kit, *host.chooser, prepared.slots};
    const SongShape shape = ShapeOf(prepared, host.settings.loop, host.settings.monoStems);
    const StemsResult result =
        ExportStems(input, prepared.sequence, prepared.used, *folder, shape, progress);
    const std::string written = std::to_string(result.written.size()) + " of " +
                                std::to_string(result.planned) + " stems were written to " +
                                *folder;
    const std::string others = OtherStemsText(result.others);
    const std::string note = others.empty() ? "" : "\n" + others;
    if (result.cancelled) return Tell(prompts, "Stopped: " + written + note);
    std::string text = written + note;
    if (shape.Loop()) text += "\nLoop of " + LoopLengthText(prepared.steps.rows, result.frames);
    Tell(prompts, text);
  });
}

void RenderFlow::ExportMidiClick(RenderHost& host, Prompts& prompts) {
  // Quick, so the players are left as they are.
  if (running_ || host.playListEmpty()) return;
  RunningFlag running(running_);
  const Lines sequence = host.compile();
  const std::vector<PatternMeter> meters =
      host.meters ? host.meters() : std::vector<PatternMeter>{};
  FileRequest request;
  request.title = kMidiDialogTitle;
  request.filter = kMidiDialogFilter;
  request.startDir = host.home.string();
  request.defaultSuffix = "mid";
  request.askBeforeOverwrite = true;
  const auto chosen = prompts.SaveFile(request);
  if (!chosen || chosen->empty()) return;
  const RenderInput input{host.home, *host.kit, *host.chooser, host.slots()};
  CheckOutput(OutputRuleOf(input), *chosen);
  WriteFileAtomically(*chosen, MidiFileBytes(sequence, *host.chooser, input.slots, meters));
}
