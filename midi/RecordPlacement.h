#pragma once
// Where a note played while the pattern plays is written: the step nearest
// to the moment it was heard, and the channel of that step's row.
#include <string>

class PatternGrid;

// The step sounding when the note came, and where the note came, in one unit
// (output frames, or nanoseconds when the output counts none).
struct StepHeard {
  int row = 0;            // grid row of the step sounding
  double stepStart = 0;   // where that step began
  double heard = 0;       // where the note was heard
  double stepLength = 1;  // one step, in the same unit
};

// The grid row of the step nearest to the note: the sounding one, or a later
// one when the note came nearer to it. Past the last step it wraps to the
// first (a repeating pattern's next pass).
int NearestStepRow(const StepHeard& heard, int firstRow, int steps);

// The channel column a recorded hit of the instrument goes into on the row:
// the one already holding that instrument, else the first empty one; -1 when
// every channel holds another instrument.
int RecordColumn(const PatternGrid& grid, int row, const std::string& chooserItem);

// The cell text of a recorded hit: the chooser item with the volume digit of
// level in its bracket pair (sample slots have none).
std::string RecordedCellText(const std::string& chooserItem, int level);

// Writes the hit (its cell text) into the row; false when the row has no
// channel for it.
bool RecordHit(PatternGrid& grid, int row, const std::string& cellText);
