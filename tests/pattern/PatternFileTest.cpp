#include <gtest/gtest.h>

#include "common/Exception.h"
#include "pattern/CoreState.h"
#include "pattern/PatternFile.h"
#include "pattern/PatternLoad.h"
#include "support/ErrorText.h"

namespace {

// The lines of an 8-step pattern file up to and including the loop count.
Lines ShortFile(const std::string& tempo, const std::string& loops) {
  PatternGrid grid = CoreState::Tagged("eight", 8, "E");
  Lines lines;
  for (int row = 0; row <= 10; ++row)
    for (int col = 0; col < 7; ++col) lines.push_back(grid.Cell(col, row));
  lines.push_back(tempo);
  lines.push_back(loops);
  return lines;
}

}  // namespace

TEST(PatternFile, ReadsCellsValuesAndSlotsThatNameFiles) {
  CoreState s;
  Lines lines = ShortFile("75", "3");
  lines.insert(lines.end(), {"C:\\kits\\Blank.wav", "not read", "/samples/clap.wav", "32000"});
  WriteTextLines(s.Pat("eight"), lines);

  const PatternLoad load = LoadPatternIntoGrid(s.Pat("eight"), s.grid, s.slots);
  EXPECT_EQ(load.values, (PatternValues{75, 3}));
  EXPECT_TRUE(load.slotError.empty());
  EXPECT_EQ(s.grid.RowCount(), 10);
  EXPECT_EQ(s.grid.Cell(0, 0), "eight");
  EXPECT_EQ(s.grid.Cell(3, 9), "E-8-3");
  // A "Blank.wav" slot is left alone, its frequency line unread.
  EXPECT_EQ(s.slots.log, (std::vector<std::string>{"load 2 /samples/clap.wav", "base 2 32000",
                                                   "frequency 2 32000", "caption 2 clap"}));
  EXPECT_EQ(s.slots.holdingMarks, 1);
}

TEST(PatternFile, FileEndingAfterTheLoopCountLeavesEverySlotAlone) {
  CoreState s;
  WriteTextLines(s.Pat("eight"), ShortFile("60", "2"));
  const PatternLoad load = LoadPatternIntoGrid(s.Pat("eight"), s.grid, s.slots);
  EXPECT_EQ(load.values, (PatternValues{60, 2}));
  EXPECT_EQ(s.grid.Cell(6, 2), "E-1-6");
  EXPECT_TRUE(s.slots.log.empty());
  EXPECT_EQ(s.slots.holdingMarks, 0);
}

TEST(PatternFile, EightStepsOverSixteenKeepTheHiddenRows) {
  CoreState s;
  s.grid = CoreState::Tagged("sixteen", 16, "S");
  PatternGrid eight = CoreState::Tagged("eight", 8, "E");
  eight.SetCell(2, 10, "spare");
  s.WritePattern(eight, {});

  LoadPatternIntoGrid(s.Pat("eight"), s.grid, s.slots);
  EXPECT_EQ(s.grid.RowCount(), 10);
  EXPECT_EQ(s.grid.Cell(1, 9), "E-8-1");
  EXPECT_EQ(s.grid.Cell(2, 10), "spare");  // the file's spare row
  EXPECT_EQ(s.grid.Cell(1, 10), "");
  for (int row = 11; row <= 17; ++row)
    EXPECT_EQ(s.grid.Cell(4, row), "S-" + std::to_string(row - 1) + "-4") << row;
}

TEST(PatternFile, TempoIsKeptInTheBarsRangeAndLoopsAtLeastOne) {
  EXPECT_EQ(ParsePatternLines(ShortFile("500", "0"), true).values, (PatternValues{140, 1}));
  EXPECT_EQ(ParsePatternLines(ShortFile("-3", "-7"), true).values, (PatternValues{1, 1}));
}

TEST(PatternFile, BrokenNumbersStopTheReadWithNothingChanged) {
  struct Case {
    Lines lines;
    std::string message;
  };
  Lines badLength = ShortFile("60", "1");
  badLength[2] = "16x";
  Lines zeroLength = ShortFile("60", "1");
  zeroLength[2] = "0";
  Lines missingFrequency = ShortFile("60", "1");
  missingFrequency.push_back("/samples/clap.wav");
  // A length the file can't hold: its tempo line is missing, read as empty.
  Lines hugeLength = ShortFile("60", "1");
  hugeLength[2] = "2000000000";
  const std::vector<Case> cases = {
      {badLength, "broken.pat, line 3: '16x' is not a valid integer value"},
      {zeroLength, "broken.pat, line 3: '0' is not a valid integer value"},
      {ShortFile("fast", "1"), "broken.pat, line 78: 'fast' is not a valid integer value"},
      {ShortFile("60", "two"), "broken.pat, line 79: 'two' is not a valid integer value"},
      {missingFrequency, "broken.pat, line 81: '' is not a valid integer value"},
      {hugeLength, "broken.pat, line 14000000022: '' is not a valid integer value"},
      {{"only", "two lines"}, "broken.pat, line 3: '' is not a valid integer value"},
      {ShortFile("\x01\x02" + std::string(50, 'z'), "1"), "broken.pat, line 78: '\\x01\\x02" +
                                                              std::string(38, 'z') +
                                                              "...' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    CoreState s;
    s.grid = CoreState::Tagged("before", 16, "B");
    const PatternGrid before = s.grid;
    WriteTextLines(s.Pat("broken"), c.lines);
    EXPECT_EQ(Message([&] { LoadPatternIntoGrid(s.Pat("broken"), s.grid, s.slots); }), c.message);
    EXPECT_EQ(s.grid.RowCount(), before.RowCount());
    for (int row = 0; row < 19; ++row)
      for (int col = 0; col < 7; ++col) ASSERT_EQ(s.grid.Cell(col, row), before.Cell(col, row));
    EXPECT_TRUE(s.slots.log.empty());
  }
}

TEST(PatternFile, MissingFileCannotBeOpened) {
  CoreState s;
  EXPECT_EQ(Message([&] { LoadPatternIntoGrid(s.Pat("gone"), s.grid, s.slots); }),
            "Cannot open file " + s.Pat("gone").string());
}

TEST(PatternFile, SlotThatCannotLoadStopsTheSlotsButKeepsTheGrid) {
  CoreState s;
  Lines lines = ShortFile("70", "1");
  lines.insert(lines.end(),
               {"/a/one.wav", "11025", "/a/gone.wav", "11025", "/a/three.wav", "8000"});
  WriteTextLines(s.Pat("eight"), lines);
  s.slots.unreadable.insert("/a/gone.wav");
  const PatternLoad load = LoadPatternIntoGrid(s.Pat("eight"), s.grid, s.slots);
  EXPECT_EQ(load.slotError, "Cannot open file /a/gone.wav");
  EXPECT_EQ(load.values.tempoPosition, 70);
  EXPECT_EQ(s.grid.Cell(0, 0), "eight");
  EXPECT_EQ(s.slots[1].file, "/a/one.wav");
  EXPECT_EQ(s.slots[3].file, "Blank.wav");
}

TEST(PatternFile, LinesWrittenForTheSlotsAndReadBack) {
  CoreState s;
  s.slots[32] = {"/w/ride.wav", 48000, 48000, 0, ""};
  PatternGrid grid = CoreState::Tagged("x", 4, "X");
  const Lines lines = BuildPatternLines(grid, 4, {33, 5}, s.slots);
  ASSERT_EQ(lines.size(), 7u * 7 + 66);
  EXPECT_EQ(lines[49], "33");
  EXPECT_EQ(lines[50], "5");
  EXPECT_EQ(lines[51], "Blank.wav");
  EXPECT_EQ(lines[52], "22050");
  EXPECT_EQ(lines[113], "/w/ride.wav");
  EXPECT_EQ(lines[114], "48000");

  const auto data = ParsePatternLines(lines, true);
  ASSERT_EQ(data.slotLoads.size(), 1u);
  EXPECT_EQ(data.slotLoads[0].slot, 32);
  EXPECT_EQ(data.slotLoads[0].frequency, 48000);
  EXPECT_TRUE(ParsePatternLines(lines, false).slotLoads.empty());
}
