#include "pattern/GridEdit.h"

#include <algorithm>

int GridEdit::ChangedCells() const {
  return static_cast<int>(
      std::count_if(cells.begin(), cells.end(), [](const Cell& c) { return c.before != c.after; }));
}

void GridEdit::Absorb(const GridEdit& later) {
  for (const Cell& cell : later.cells) {
    auto same = std::find_if(cells.begin(), cells.end(),
                             [&](const Cell& c) { return c.col == cell.col && c.row == cell.row; });
    if (same != cells.end())
      same->after = cell.after;
    else
      cells.push_back(cell);
  }
  rowsAfter = later.rowsAfter;
}
