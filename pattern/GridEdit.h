#pragma once
// What an editing operation changed in the grid: each cell's text before and
// after, and the shown row count. Undo puts the "before" side back, redo the
// "after" side; only the cells an edit touched are kept.
#include <string>
#include <vector>

struct GridEdit {
  struct Cell {
    int col = 0, row = 0;
    std::string before, after;
  };
  std::vector<Cell> cells;
  int rowsBefore = 0, rowsAfter = 0;

  bool Empty() const { return cells.empty() && rowsBefore == rowsAfter; }
  // Cells whose text really changed.
  int ChangedCells() const;
  // Another edit of the same cells after this one: one step from this one's
  // "before" to the other's "after".
  void Absorb(const GridEdit& later);
};
