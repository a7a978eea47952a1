#include "common/Exception.h"
#include "pattern/PatternGrid.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(StepLabels(6, 4), (std::vector<std::string>{"1:0*", "2:1", "3:2", "4:3", "5:0*", "6:1"}));
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
