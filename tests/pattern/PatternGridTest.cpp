#include <gtest/gtest.h>

#include <functional>

#include "common/Exception.h"
#include "pattern/PatternGrid.h"

namespace {
// A grid as start-up leaves it: 16 steps, time 4.
PatternGrid StartUpGrid() {
  PatternGrid grid;
  grid.WriteNewPattern(16, 4);
  return grid;
}
const std::string kKick = "Kick      [ ]";
}  // namespace

TEST(StepLabels, StarMarksTheFirstStepOfEachGroup) {
  EXPECT_EQ(StepLabels(6, 4),
            (std::vector<std::string>{"1:0*", "2:1", "3:2", "4:3", "5:0*", "6:1"}));
  EXPECT_EQ(StepLabels(3, 1), (std::vector<std::string>{"1:0*", "2:0*", "3:0*"}));
  const auto sixteen = StepLabels(17, 16);
  EXPECT_EQ(sixteen[0], "1:0*");
  EXPECT_EQ(sixteen[15], "16:15");
  EXPECT_EQ(sixteen[16], "17:0*");
  const auto three = StepLabels(10, 3);
  EXPECT_EQ(three[3], "4:0*");
  EXPECT_EQ(three[9], "10:0*");
}

TEST(PatternGrid, ApplyingLengthAndTimeWritesHeadersLabelsAndSpareRow) {
  PatternGrid grid = StartUpGrid();
  EXPECT_EQ(grid.Cell(1, 0), "Length:");
  EXPECT_EQ(grid.Cell(3, 0), "Time:");
  EXPECT_EQ(grid.Cell(2, 0), "16");
  EXPECT_EQ(grid.Cell(4, 0), "4");
  EXPECT_EQ(grid.RowCount(), 18);
  EXPECT_EQ(grid.Cell(0, 2), "1:0*");
  EXPECT_EQ(grid.Cell(0, 17), "16:3");
  EXPECT_EQ(grid.Cell(0, 18), "17:0*");  // the spare row
  EXPECT_EQ(grid.Cell(3, 1), "Channel:3");

  grid.ApplyLengthAndTime("4", "2");
  EXPECT_EQ(grid.RowCount(), 6);
  EXPECT_EQ(grid.Cell(0, 4), "3:0*");
  EXPECT_EQ(grid.Cell(0, 6), "5:0*");

  grid.ApplyLengthAndTime("64", "32");
  EXPECT_EQ(grid.RowCount(), 66);
  EXPECT_EQ(grid.Cell(0, 34), "33:0*");
}

TEST(PatternGrid, ShorteningHidesStepsAndLengtheningBringsThemBack) {
  PatternGrid grid = StartUpGrid();
  grid.SetCell(3, 12, kKick);  // step 11
  grid.SetCurrent(2, 15);
  grid.ApplyLengthAndTime("8", "4");
  EXPECT_EQ(grid.RowCount(), 10);
  EXPECT_LT(grid.Row(), 10);  // the current cell stays on a shown row
  grid.ApplyLengthAndTime("16", "4");
  EXPECT_EQ(grid.Cell(3, 12), kKick);
}

TEST(PatternGrid, UpdateRefusesLengthsAndTimesThatAreNotWholeNumbers) {
  PatternGrid grid = StartUpGrid();
  EXPECT_THROW(grid.ApplyLengthAndTime("1x", "4"), EConvertError);
  EXPECT_THROW(grid.ApplyLengthAndTime("8", ""), EConvertError);
  EXPECT_THROW(grid.ApplyLengthAndTime("0", "4"), EConvertError);
  EXPECT_EQ(grid.Cell(2, 0), "16");
  EXPECT_EQ(grid.Cell(4, 0), "4");
  EXPECT_EQ(grid.RowCount(), 18);
}

TEST(PatternGrid, ToggleFillsEmptiesAndReplacesOtherDigits) {
  PatternGrid grid = StartUpGrid();
  grid.SetCurrent(1, 2);
  EXPECT_TRUE(grid.Toggle("Snare     [ ]"));
  EXPECT_EQ(grid.Cell(1, 2), "Snare     [ ]");
  EXPECT_FALSE(grid.Toggle("Snare     [ ]"));
  EXPECT_EQ(grid.Cell(1, 2), "");
  grid.SetCell(1, 2, "Snare     [5]");
  EXPECT_TRUE(grid.Toggle("Snare     [ ]"));
  EXPECT_EQ(grid.Cell(1, 2), "Snare     [ ]");
  // The blank chooser entry empties a filled cell and leaves an empty one empty.
  EXPECT_FALSE(grid.Toggle(""));
  EXPECT_EQ(grid.Cell(1, 2), "");
  EXPECT_FALSE(grid.Toggle(""));
  EXPECT_EQ(grid.Cell(1, 2), "");
}

TEST(PatternGrid, VolumeStepCyclesTheTwelfthCharacter) {
  PatternGrid grid = StartUpGrid();
  grid.SetCurrent(2, 3);
  grid.SetCell(2, 3, kKick);
  std::string digits;
  for (int i = 0; i < 5; ++i) {
    grid.StepVolume();
    digits += grid.Cell(2, 3)[11];
  }
  EXPECT_EQ(digits, "23456");
  grid.SetCell(2, 3, "Kick      [9]");
  grid.StepVolume();
  EXPECT_EQ(grid.Cell(2, 3), "Kick      [1]");

  grid.SetCell(2, 3, "Sample3");  // no 12th character
  grid.StepVolume();
  EXPECT_EQ(grid.Cell(2, 3), "Sample3");
  grid.SetCell(2, 3, "Kick      [x]");
  EXPECT_THROW(grid.StepVolume(), EConvertError);
  EXPECT_EQ(grid.Cell(2, 3), "Kick      [x]");
}

TEST(PatternGrid, TypedDigitFillsSetsAndJumps) {
  PatternGrid grid = StartUpGrid();
  grid.SetCurrent(1, 2);
  grid.TypeDigit('7', "Tom1      [ ]", 0);
  EXPECT_EQ(grid.Cell(1, 2), "Tom1      [7]");
  EXPECT_EQ(grid.Row(), 2);

  grid.TypeDigit('3', "Tom1      [ ]", 4);  // step 1 moves to step 5
  EXPECT_EQ(grid.Cell(1, 2), "Tom1      [3]");
  EXPECT_EQ(grid.Row(), 6);

  grid.SetCurrent(1, 15);  // step 14 of 16: 15 + 4 is not below 18
  grid.TypeDigit('2', "Tom1      [ ]", 4);
  EXPECT_EQ(grid.Row(), 15);

  grid.SetCurrent(4, 5);
  grid.SetCell(4, 5, "Sample3");
  grid.TypeDigit('5', kKick, 0);
  EXPECT_EQ(grid.Cell(4, 5), "Sample3");
  grid.SetCurrent(5, 5);
  grid.TypeDigit('0', kKick, 0);
  grid.TypeDigit('a', kKick, 0);
  EXPECT_EQ(grid.Cell(5, 5), "");
  grid.TypeDigit('4', "Sample9", 0);  // an empty cell still takes the chooser text
  EXPECT_EQ(grid.Cell(5, 5), "Sample9");
}

TEST(PatternGrid, DeleteEmptiesTheSelectionOnly) {
  PatternGrid grid = StartUpGrid();
  for (int row = 2; row < 18; ++row)
    for (int col = 1; col <= 6; ++col) grid.SetCell(col, row, kKick);
  grid.SetCurrent(2, 4);
  grid.SelectRange(2, 4, 4, 7);  // 3 columns by 4 rows
  grid.DeleteSelection();
  int empty = 0;
  for (int row = 2; row < 18; ++row)
    for (int col = 1; col <= 6; ++col) empty += grid.Cell(col, row).empty();
  EXPECT_EQ(empty, 12);
  EXPECT_EQ(grid.Cell(2, 4), "");
  EXPECT_EQ(grid.Cell(4, 7), "");
  EXPECT_EQ(grid.Cell(5, 4), kKick);
  EXPECT_EQ(grid.Cell(0, 4), "3:2");
}

TEST(PatternGrid, SelectionNeverCoversHeadersOrLabels) {
  PatternGrid grid = StartUpGrid();
  EXPECT_FALSE(grid.SetCurrent(0, 5));
  EXPECT_FALSE(grid.SetCurrent(3, 1));
  EXPECT_FALSE(grid.SetCurrent(3, 18));  // the spare row is not shown
  grid.SelectRange(0, 0, 3, 5);
  EXPECT_EQ(grid.Selection(), (GridRect{1, 2, 3, 5}));
}

TEST(PatternGrid, ClearKeepsHeadersLabelsAndLength) {
  PatternGrid grid = StartUpGrid();
  grid.SetCell(0, 0, "drums");
  grid.SetCell(6, 66, kKick);  // step 64, hidden
  grid.SetCell(1, 2, kKick);
  grid.ClearPattern();
  EXPECT_EQ(grid.Cell(0, 0), "");
  EXPECT_EQ(grid.Cell(6, 66), "");
  EXPECT_EQ(grid.Cell(1, 2), "");
  EXPECT_EQ(grid.Cell(1, 0), "Length:");
  EXPECT_EQ(grid.Cell(2, 0), "16");
  EXPECT_EQ(grid.Cell(0, 2), "1:0*");
  EXPECT_EQ(grid.Cell(1, 1), "Channel:1");
  EXPECT_EQ(grid.RowCount(), 18);
}

TEST(PatternGrid, StepCountComesFromTheLengthCell) {
  PatternGrid grid = StartUpGrid();
  EXPECT_EQ(grid.StepCount(), 16);
  grid.SetCell(2, 0, "x6");
  EXPECT_THROW(grid.StepCount(), EConvertError);
}

TEST(LoopCount, NeverBelowOne) {
  EXPECT_EQ(ClampLoopCount(0), 1);
  EXPECT_EQ(ClampLoopCount(-3), 1);
  EXPECT_EQ(ClampLoopCount(1), 1);
  EXPECT_EQ(ClampLoopCount(250), 250);
}

namespace {
// Every stored cell and the shown rows: the whole pattern, hidden steps too.
struct WholeGrid {
  std::vector<std::string> cells;
  int rows = 0;
  bool operator==(const WholeGrid&) const = default;
};
WholeGrid Whole(const PatternGrid& grid) {
  WholeGrid whole{{}, grid.RowCount()};
  for (int row = 0; row < 80; ++row)
    for (int col = 0; col < PatternGrid::kColumns; ++col)
      whole.cells.push_back(grid.Cell(col, row));
  return whole;
}
}  // namespace

// Each edit reports what it changed: undoing puts the whole pattern back as
// it was, hidden steps included; redoing gives it as the edit left it.
TEST(GridEdit, EveryEditUndoesAndRedoesExactly) {
  struct Case {
    const char* name;
    std::function<void(PatternGrid&)> edit;
  };
  const std::vector<Case> cases = {
      {"toggle", [](PatternGrid& g) { g.Toggle(kKick); }},
      {"volume", [](PatternGrid& g) { g.StepVolume(); }},
      {"digit", [](PatternGrid& g) { g.TypeDigit('7', kKick, 4); }},
      {"delete", [](PatternGrid& g) { g.DeleteSelection(); }},
      {"clear", [](PatternGrid& g) { g.ClearPattern(); }},
      {"name", [](PatternGrid& g) { g.SetName("Rock"); }},
      {"shorten", [](PatternGrid& g) { g.ApplyLengthAndTime("4", "2"); }},
      {"lengthen", [](PatternGrid& g) { g.ApplyLengthAndTime("32", "8"); }},
  };
  for (const Case& c : cases) {
    PatternGrid grid = StartUpGrid();
    grid.SetName("Funk");
    for (int row = 2; row < 18; row += 3) grid.SetCell(1 + row % 6, row, kKick);
    grid.SetCurrent(3, 2);  // holds a kick
    grid.SelectRange(1, 2, 4, 11);
    const WholeGrid before = Whole(grid);
    const GridEdit edit = grid.Record([&] { c.edit(grid); });
    const WholeGrid after = Whole(grid);
    EXPECT_NE(before, after) << c.name;
    grid.Apply(edit, true);
    EXPECT_EQ(Whole(grid), before) << c.name;
    grid.Apply(edit, false);
    EXPECT_EQ(Whole(grid), after) << c.name;
  }
}

// A range delete keeps only the cells it changed, not the whole range.
TEST(GridEdit, ARangeDeleteKeepsOnlyTheCellsItChanged) {
  PatternGrid grid = StartUpGrid();
  grid.SetCell(2, 4, kKick);
  grid.SetCell(3, 9, kKick);
  grid.SetCurrent(1, 2);
  grid.SelectRange(1, 2, 6, 17);
  const GridEdit edit = grid.Record([&] { grid.DeleteSelection(); });
  EXPECT_EQ(edit.cells.size(), 2u);
  EXPECT_EQ(edit.ChangedCells(), 2);
  // A failing edit reports nothing it didn't do.
  const GridEdit refused =
      grid.Record([&] { EXPECT_THROW(grid.ApplyLengthAndTime("ab", "4"), EConvertError); });
  EXPECT_TRUE(refused.Empty());
}
