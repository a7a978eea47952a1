// TSequence: the play buttons, the toggles and the tempo bar, forwarded to
// the playback engine; the tempo bar's moves are the pattern's own.
#include <QSlider>

#include "common/QtPrompts.h"
#include "pattern/InstrumentPanel.h"
#include "pattern/Sequencer.h"
#include "song/Tempo.h"

// "Play pattern" (F6).
void TSequence::BitBtn3Click() {
  engine_.BitBtn3Click();
  FollowPlayhead();
}
// "Play, play list" (F5).
void TSequence::BitBtn12Click() {
  engine_.BitBtn12Click();
  FollowPlayhead();
}
// "Stop" (F8).
void TSequence::BitBtn4Click() {
  engine_.BitBtn4Click();
  ShowPlayhead();
}

// The tempo bar moved by the user: the pattern's tempo, and the global speed.
void TSequence::DelayChange() {
  Push("Tempo", song_.SetTempo(Delay->value()), MergeKey::Tempo);
  engine_.DelayChange();
}

// A tempo typed in the BPM box: the nearest position, a move of the bar.
void TSequence::BpmTyped() {
  const auto position = PositionForTempoText(instrumentPanel_->BpmText());
  if (!position) {
    AppPrompts().ShowError("'" + instrumentPanel_->BpmText() +
                           "' is no tempo: type the beats per minute, such as 120");
    ShowSong();
    return;
  }
  Delay->setValue(*position);
  Delay->setFocus();  // the box shows the tempo the position gives
  DelayChange();
}

// "Repeat pattern".
void TSequence::ToolButton3Click() {
  engine_.ToolButton3Click();
  ShowToggles();
}
// "Repeat play list".
void TSequence::ToolButton8Click() {
  engine_.ToolButton8Click();
  ShowToggles();
}
// "Set as global speed.".
void TSequence::ToolButton19Click() {
  engine_.ToolButton19Click();
  ShowToggles();
}
