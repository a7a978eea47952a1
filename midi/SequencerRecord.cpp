// TSequence: notes recorded from MIDI into the grid.
#include "midi/RecordPlacement.h"
#include "pattern/Sequencer.h"

void TSequence::RecordMidiHit(int row, const std::string& cellText, int pass) {
  SongChange change = song_.EditGrid([&](PatternGrid& grid) { RecordHit(grid, row, cellText); });
  Push(QString("Record pass %1").arg(pass), std::move(change), MergeKey::Record);
}
