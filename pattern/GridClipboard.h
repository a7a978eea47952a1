#pragma once
// Cell ranges of the step grid as clipboard text and back: one line a row,
// cells by tab, each cell as the grid shows it. Text that does not fit the
// pattern, or holds a cell no instrument of the chooser could fill, is
// refused with its reason and changes nothing.
#include <string>
#include <vector>

#include "pattern/PatternGrid.h"

class InstrumentTable;

// Cells by row, then by column; every row has Width() cells.
struct CellBlock {
  std::vector<std::vector<std::string>> rows;
  int Height() const { return static_cast<int>(rows.size()); }
  int Width() const { return rows.empty() ? 0 : static_cast<int>(rows.front().size()); }
};

// The clipboard text of a range: each line ended by "\n".
std::string BlockText(const PatternGrid& grid, const GridRect& range);

// Reads clipboard text: "\r\n", "\n" or "\r" end lines, the last line end is
// optional, a line with fewer cells than the widest is filled with empty
// cells. An Exception says what is wrong: no text, too much of it, or a cell
// that is neither empty nor an instrument of the table (its volume digit
// aside).
CellBlock ParseBlock(const std::string& text, const InstrumentTable& instruments);

// Writes the block at the current cell and selects it. An Exception, with
// nothing changed, when it reaches past the last channel or the last step.
void PasteBlock(PatternGrid& grid, const CellBlock& block);

// The selected rows (every channel) again right after them, as many as the
// pattern's length holds; the copy is selected. An Exception, with nothing
// changed, when the selection ends on the last step.
void DuplicateSelectedRows(PatternGrid& grid);

// Whether a cell text is empty or names an instrument of the table, with a
// volume digit 1..9 or a blank in its place.
bool IsInstrumentCellText(const std::string& text, const InstrumentTable& instruments);
