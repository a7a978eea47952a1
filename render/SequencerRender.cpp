// TSequence: "Render song to wav file".
#include <QToolButton>

#include "pattern/Sequencer.h"
#include "render/RenderFlow.h"
#include "render/RenderPrep.h"
#include "render/Unit1.h"

void TSequence::SetRenderWindow(TForm1* renderWindow, std::function<SlotSounds()> slots) {
  renderWindow_ = renderWindow;
  renderSlots_ = std::move(slots);
}

RenderHost TSequence::RenderHostOf() {
  RenderHost host;
  host.home = HomeDir();
  host.kit = &DXWaveList1.Items;
  host.chooser = &instruments_;
  host.slots = renderSlots_;
  host.playListEmpty = [this] { return song_.List().Count() == 0; };
  host.compile = [this] {
    // The render's own copy: a song playing meanwhile keeps its sequence.
    Lines sequence;
    playbackHost_.CompilePlayList(sequence);
    engine_.ResetSongPosition();
    return sequence;
  };
  host.setPlayButtonsEnabled = [this](bool enabled) {
    ToolButton1->setEnabled(enabled);
    ToolButton7->setEnabled(enabled);
  };
  host.clearPlaySequence = [this] { engine_.MainPlay().clear(); };
  host.selectedEntry = [this] { return song_.List().Selected(); };
  host.entryName = [this](int index) { return song_.List().Name(index); };
  host.selectEntry = [this](int index) { playbackHost_.SelectPlayListEntry(index); };
  if (song_.SongFile()) host.songName = song_.SongFile()->stem().string();
  host.settings = exportSettings_;
  host.groove = song_.Settings().groove;
  host.mix = song_.Settings().mix;
  return host;
}

void TSequence::RendorClick() {
  if (!renderWindow_) return;
  RenderHost host = RenderHostOf();
  renderWindow_->Render(host);
}
