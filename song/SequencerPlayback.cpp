// TSequence: the play buttons, the toggles and the tempo bar, forwarded to
// the playback engine; the tempo bar's moves are the pattern's own.
#include <QSlider>

#include "pattern/Sequencer.h"

// "Play pattern" (F6).
void TSequence::BitBtn3Click() {
  engine_.BitBtn3Click();
}
// "Play, play list" (F5).
void TSequence::BitBtn12Click() {
  engine_.BitBtn12Click();
}
// "Stop" (F8).
void TSequence::BitBtn4Click() {
  engine_.BitBtn4Click();
}

// The tempo bar moved by the user: the pattern's tempo, and the global speed.
void TSequence::DelayChange() {
  Push("Tempo", song_.SetTempo(Delay->value()), MergeKey::Tempo);
  engine_.DelayChange();
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
