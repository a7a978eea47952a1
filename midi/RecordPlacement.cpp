#include "midi/RecordPlacement.h"

#include <cmath>

#include "common/Text.h"
#include "kit/InstrumentTable.h"
#include "pattern/PatternGrid.h"

int NearestStepRow(const StepHeard& heard, int firstRow, int steps) {
  if (steps <= 0) return firstRow;
  const double length = heard.stepLength > 0 ? heard.stepLength : 1;
  const auto ahead = static_cast<int64_t>(std::llround((heard.heard - heard.stepStart) / length));
  const int64_t step = (heard.row - firstRow + ahead) % steps;
  return firstRow + static_cast<int>(step < 0 ? step + steps : step);
}

int RecordColumn(const PatternGrid& grid, int row, const std::string& chooserItem) {
  const std::string wanted = LowerLatin1(InstrumentName(chooserItem));
  int firstEmpty = -1;
  for (int col = 1; col <= PatternGrid::kChannels; ++col) {
    const std::string& cell = grid.Cell(col, row);
    if (cell.empty()) {
      if (firstEmpty < 0) firstEmpty = col;
      continue;
    }
    if (LowerLatin1(InstrumentName(cell)) == wanted) return col;
  }
  return firstEmpty;
}

std::string RecordedCellText(const std::string& chooserItem, int level) {
  std::string text = chooserItem;
  if (text.size() > PatternGrid::kVolumeDigitIndex && level >= 1 && level <= 9)
    text[PatternGrid::kVolumeDigitIndex] = static_cast<char>('0' + level);
  return text;
}

bool RecordHit(PatternGrid& grid, int row, const std::string& cellText) {
  const int col = RecordColumn(grid, row, cellText);
  if (col < 0) return false;
  grid.SetCell(col, row, cellText);
  return true;
}
