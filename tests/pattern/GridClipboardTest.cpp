#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Exception.h"
#include "kit/InstrumentTable.h"
#include "pattern/GridClipboard.h"

namespace {
const std::string kKick = "Kick      [ ]";
const std::string kSnare5 = "Snare     [5]";
const std::string kHat = "ClsHiat   [ ]";

// 16 steps in 4s, the current cell at (col, row).
PatternGrid GridAt(int col, int row) {
  PatternGrid grid;
  grid.WriteNewPattern(16, 4);
  grid.SetCurrent(col, row);
  return grid;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "";
}
}  // namespace

TEST(GridClipboard, ARangeReadsAsLinesOfTabbedCells) {
  PatternGrid grid = GridAt(1, 2);
  grid.SetCell(1, 2, kKick);
  grid.SetCell(3, 2, kHat);
  grid.SetCell(2, 3, kSnare5);
  EXPECT_EQ(BlockText(grid, {1, 2, 3, 3}), kKick + "\t\t" + kHat + "\n\t" + kSnare5 + "\t\n");
  EXPECT_EQ(BlockText(grid, {2, 3, 2, 3}), kSnare5 + "\n");
}

TEST(GridClipboard, TextReadsBackIntoTheSameCells) {
  const InstrumentTable table;
  struct Case {
    std::string name, text;
    std::vector<std::vector<std::string>> rows;
  };
  const std::vector<Case> cases{
      {"one cell", kKick + "\n", {{kKick}}},
      {"no last line end", kKick, {{kKick}}},
      {"tabs keep empty cells", "\t" + kKick + "\t\n", {{"", kKick, ""}}},
      {"CR LF lines", kKick + "\r\n" + kHat + "\r\n", {{kKick}, {kHat}}},
      {"CR lines", kKick + "\r" + kHat, {{kKick}, {kHat}}},
      {"short lines fill with empty cells",
       kKick + "\t" + kHat + "\n" + kSnare5,
       {{kKick, kHat}, {kSnare5, ""}}},
      {"an empty line is an empty row", kKick + "\n\n" + kHat + "\n", {{kKick}, {""}, {kHat}}},
      {"letter case as typed", "kick      [7]", {{"kick      [7]"}}},
      {"sample slots", "Sample32\tSample1", {{"Sample32", "Sample1"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseBlock(c.text, table).rows, c.rows);
  }
}

TEST(GridClipboard, TextThatIsNotCellsIsRefusedWithItsPlace) {
  const InstrumentTable table;
  struct Case {
    std::string text, message;
  };
  const std::vector<Case> cases{
      {"", "The clipboard holds no cells to paste."},
      {"hello",
       "Line 1, cell 1 of the clipboard, \"hello\", is not an instrument of the chooser: "
       "nothing was pasted."},
      {kKick + "\t" + "Kick      [0]",
       "Line 1, cell 2 of the clipboard, \"Kick      [0]\", is not an instrument of the chooser: "
       "nothing was pasted."},
      {kKick + "\n" + kHat + "\tSample33\n",
       "Line 2, cell 2 of the clipboard, \"Sample33\", is not an instrument of the chooser: "
       "nothing was pasted."},
      {"Kick      [ ]x",
       "Line 1, cell 1 of the clipboard, \"Kick      [ ]x\", is not an "
       "instrument of the chooser: nothing was pasted."},
      {std::string(2 << 20, 'a'),
       "The clipboard holds far more text than a pattern's cells: nothing was pasted."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    EXPECT_EQ(ErrorOf([&] { ParseBlock(c.text, table); }), c.message);
  }
}

TEST(GridClipboard, PasteWritesAtTheCurrentCellOrRefusesWhatDoesNotFit) {
  const InstrumentTable table;
  struct Case {
    std::string name;
    int col, row;
    std::string text, message;
  };
  const std::vector<Case> cases{
      {"fits in the corner", 5, 16, kKick + "\t" + kHat + "\n\t" + kSnare5 + "\n", ""},
      {"one channel too wide", 6, 2, kKick + "\t" + kHat + "\n",
       "The clipboard holds 2 cells a line; from channel 6 only 1 fit: nothing was pasted."},
      {"one step too long", 1, 17, kKick + "\n" + kHat + "\n",
       "The clipboard holds 2 lines; from step 16 on, the pattern has 1 steps: nothing was "
       "pasted."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PatternGrid grid = GridAt(c.col, c.row);
    grid.SetCell(c.col, c.row, kSnare5);
    const PatternGrid before = grid;
    const CellBlock block = ParseBlock(c.text, table);
    EXPECT_EQ(ErrorOf([&] { PasteBlock(grid, block); }), c.message);
    if (!c.message.empty()) {
      EXPECT_EQ(BlockText(grid, {1, 2, 6, 17}), BlockText(before, {1, 2, 6, 17}));
      continue;
    }
    const GridRect pasted{c.col, c.row, c.col + block.Width() - 1, c.row + block.Height() - 1};
    EXPECT_EQ(BlockText(grid, pasted), c.text);  // empty cells pasted empty
    EXPECT_EQ(grid.Selection(), pasted);
    EXPECT_EQ(grid.Col(), c.col);
    EXPECT_EQ(grid.Row(), c.row);
  }
}

TEST(GridClipboard, DuplicateRepeatsTheSelectedStepsWithinTheLength) {
  struct Case {
    std::string name;
    int top, bottom;  // selected rows
    int copiedTo;     // last row written, 0 for a refusal
  };
  const std::vector<Case> cases{
      {"a bar to the next", 2, 5, 9},
      {"one step", 4, 4, 5},
      {"cut at the pattern's end", 10, 15, 17},
      {"nothing after the last step", 12, 17, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PatternGrid grid = GridAt(2, c.top);
    for (int row = 2; row < 18; ++row)
      grid.SetCell(1 + row % 6, row, "Sample" + std::to_string(row));
    grid.SelectRange(2, c.top, 3, c.bottom);
    const PatternGrid before = grid;
    const std::string error = ErrorOf([&] { DuplicateSelectedRows(grid); });
    if (c.copiedTo == 0) {
      EXPECT_EQ(error,
                "The selected steps end the pattern: there is no room after them to duplicate "
                "them.");
      EXPECT_EQ(BlockText(grid, {1, 2, 6, 17}), BlockText(before, {1, 2, 6, 17}));
      continue;
    }
    EXPECT_EQ(error, "");
    const int height = c.copiedTo - c.bottom;
    EXPECT_EQ(BlockText(grid, {1, c.bottom + 1, 6, c.copiedTo}),
              BlockText(before, {1, c.top, 6, c.top + height - 1}));
    EXPECT_EQ(BlockText(grid, {1, c.top, 6, c.bottom}), BlockText(before, {1, c.top, 6, c.bottom}));
    if (c.copiedTo < 17) {  // the step after the copy keeps its cell
      EXPECT_EQ(grid.Cell(1 + (c.copiedTo + 1) % 6, c.copiedTo + 1),
                "Sample" + std::to_string(c.copiedTo + 1));
    }
    EXPECT_EQ(grid.Selection(), (GridRect{2, c.bottom + 1, 3, c.copiedTo}));
  }
}
