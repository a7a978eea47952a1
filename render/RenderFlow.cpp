#include "render/RenderFlow.h"

#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "render/HitTable.h"
#include "render/RenderProgress.h"
#include "render/SongRender.h"

namespace {

// Restores the play buttons and empties the play sequence however the
// render ends.
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

void RenderFlow::RendorClick(RenderHost& host, Prompts& prompts, RenderProgress& progress) {
  if (running_) return;
  RunningFlag running(running_);
  host.setPlayButtonsEnabled(false);
  if (host.playListEmpty()) {
    host.setPlayButtonsEnabled(true);
    return;
  }
  IdleOnExit idle(host);
  DeleteRenderFiles(host.home, host.chooser->LastKitIndex());
  ExportKit(host.home, *host.kit);
  const SlotSounds slots = host.slots();
  ExportSlots(host.home, slots);
  const Lines sequence = host.compile();
  const std::vector<int> used = UsedInstruments(sequence, *host.chooser);

  const auto chosen = prompts.SaveFile(RenderFileRequest(host.home));
  if (!chosen || chosen->empty()) return;
  const RenderInput input{host.home, *host.kit, *host.chooser, slots};
  AssembleSong(input, sequence, used, *chosen, progress, [&](const std::string& message) {
    prompts.Message(message, "Korvanto", PromptButtons::Ok);
  });
}
