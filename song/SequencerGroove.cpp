// TSequence: the Groove panel's edits, each one step of the history; a
// drag or a typed number on one box is one step.
#include "pattern/Sequencer.h"
#include "song/GroovePanel.h"
#include "song/HitGroove.h"

void TSequence::GrooveChange(MergeKey key) {
  const Groove now = song_.Settings().groove;
  Groove next = groovePanel_->Shown(now.seed);
  // The first time humanize is turned on, the song gets draws of its own.
  const bool humanized = now.timingMs > 0 || now.loudnessTenthDb > 0;
  const bool humanizes = next.timingMs > 0 || next.loudnessTenthDb > 0;
  if (humanizes && !humanized && now.seed == 0) next.seed = FreshGrooveSeed();
  SongSettings settings = song_.Settings();
  settings.groove = next;
  Push(key == MergeKey::Swing ? "Swing" : "Humanize", song_.SetSettings(settings), key);
}

void TSequence::ShowGroove() {
  if (groovePanel_) groovePanel_->ShowGroove(song_.Settings().groove);
  engine_.SetGroove(song_.Settings().groove);
}
