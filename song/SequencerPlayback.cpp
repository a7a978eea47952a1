// TSequence: the play buttons, the tempo bar and the toggles, forwarded to
// the playback engine, and what the players need of the window.
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

#include "pattern/Sequencer.h"

void TSequence::BitBtn3Click() {
  engine_.BitBtn3Click();
}
void TSequence::BitBtn12Click() {
  engine_.BitBtn12Click();
}
void TSequence::BitBtn4Click() {
  engine_.BitBtn4Click();
}
void TSequence::DelayChange() {
  engine_.DelayChange();
  ShowUnsavedMarks();
}

void TSequence::ToolButton3Click() {
  engine_.ToolButton3Click();
  ShowToggles();
}

void TSequence::ToolButton8Click() {
  engine_.ToolButton8Click();
  ShowToggles();
}

void TSequence::ToolButton19Click() {
  engine_.ToolButton19Click();
  ShowToggles();
}

int TSequence::DelayPosition() const {
  return Delay->value();
}

void TSequence::SetDelayPosition(int position) {
  const QSignalBlocker block(Delay);
  Delay->setValue(std::clamp(position, 1, 140));
  unsaved_.TempoSetByPlayer(Delay->value());
}

void TSequence::ShowBeatsPerMinute(int beatsPerMinute) {
  Label6->setText(QString::number(beatsPerMinute));
}

void TSequence::EnablePlayButton(PlayButton button, bool enabled) {
  (button == PlayButton::Pattern ? ToolButton1 : ToolButton7)->setEnabled(enabled);
}

int TSequence::PlayListCount() const {
  return playList_.Count();
}

void TSequence::SelectPlayListEntry(int index) {
  playList_.Select(index);
  RefreshPlayList();
}
