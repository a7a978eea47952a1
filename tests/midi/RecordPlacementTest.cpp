#include <gtest/gtest.h>

#include "midi/PatternStepHeard.h"
#include "midi/RecordPlacement.h"
#include "pattern/PatternGrid.h"

namespace {
struct RowCase {
  const char* name;
  StepHeard heard;
  int row;
};

class NearestRow : public ::testing::TestWithParam<RowCase> {};

// Steps of 1000 frames, rows 2..17 (16 steps).
TEST_P(NearestRow, IsTheStepNearestTheNote) {
  EXPECT_EQ(NearestStepRow(GetParam().heard, 2, 16), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(Midi, NearestRow,
                         ::testing::Values(RowCase{"OnTheStep", {5, 9000, 9000, 1000}, 5},
                                           RowCase{"EarlyInTheStep", {5, 9000, 9400, 1000}, 5},
                                           RowCase{"NearerTheNext", {5, 9000, 9600, 1000}, 6},
                                           RowCase{"TwoStepsOn", {5, 9000, 11100, 1000}, 7},
                                           RowCase{"LastStepWrapsToFirst", {17, 0, 700, 1000}, 2},
                                           RowCase{
                                               "BeforeTheMarkedStep", {2, 5000, 4400, 1000}, 17},
                                           RowCase{"NoStepLength", {4, 0, 3, 0}, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

class RecordIntoRow : public ::testing::Test {
 protected:
  RecordIntoRow() { grid.WriteNewPattern(16, 4); }
  PatternGrid grid;
};

TEST_F(RecordIntoRow, TakesTheFirstFreeChannel) {
  grid.SetCell(1, 4, "Snare     [ ]");
  EXPECT_TRUE(RecordHit(grid, 4, RecordedCellText("Kick      [ ]", 3)));
  EXPECT_EQ(grid.Cell(2, 4), "Kick      [3]");
  EXPECT_EQ(grid.Cell(1, 4), "Snare     [ ]");
}

TEST_F(RecordIntoRow, ReplacesTheColumnTheInstrumentAlreadyUses) {
  grid.SetCell(1, 4, "Snare     [ ]");
  grid.SetCell(3, 4, "KICK      [7]");
  EXPECT_TRUE(RecordHit(grid, 4, RecordedCellText("Kick      [ ]", 2)));
  EXPECT_EQ(grid.Cell(2, 4), "");
  EXPECT_EQ(grid.Cell(3, 4), "Kick      [2]");
}

TEST_F(RecordIntoRow, FullRowKeepsWhatItHas) {
  for (int col = 1; col <= PatternGrid::kChannels; ++col) grid.SetCell(col, 4, "Tom1      [ ]");
  EXPECT_FALSE(RecordHit(grid, 4, RecordedCellText("Kick      [ ]", 1)));
  for (int col = 1; col <= PatternGrid::kChannels; ++col)
    EXPECT_EQ(grid.Cell(col, 4), "Tom1      [ ]");
}

TEST_F(RecordIntoRow, SampleSlotHasNoDigit) {
  EXPECT_TRUE(RecordHit(grid, 5, RecordedCellText("Sample3", 4)));
  EXPECT_EQ(grid.Cell(1, 5), "Sample3");
}
}  // namespace

namespace {
// The count-in's bar: as the MIDI file export reads a pattern's meter.
TEST(CountInBar, IsTheBarOfThePatternsMeter) {
  const struct {
    int steps, time, bar;
  } cases[] = {{16, 4, 16}, {32, 4, 16}, {64, 8, 16}, {4, 4, 4},
               {12, 3, 12}, {7, 4, 7},   {8, 2, 8},   {24, 3, 24}};
  for (const auto& c : cases)
    EXPECT_EQ(BarSteps(c.steps, c.time), c.bar) << c.steps << "|" << c.time;
}
}  // namespace
