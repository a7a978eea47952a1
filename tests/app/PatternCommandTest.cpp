// "korvanto pattern show": a pattern file's settings and grid as text.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "common/Text.h"
#include "support/CommandRun.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// The grid lines cut into their seven columns where the head line's
// "Channel:N" begin.
std::vector<Lines> GridColumns(const Lines& grid) {
  std::vector<size_t> starts{0};
  for (int channel = 1; channel <= 6; ++channel)
    starts.push_back(grid[0].find("Channel:" + std::to_string(channel)));
  std::vector<Lines> rows;
  for (const std::string& line : grid) {
    Lines cells;
    for (size_t c = 0; c < starts.size(); ++c) {
      const size_t end = c + 1 < starts.size() ? starts[c + 1] : std::string::npos;
      cells.push_back(starts[c] < line.size()
                          ? WithoutSurroundingBlanks(line.substr(starts[c], end - starts[c]))
                          : "");
    }
    rows.push_back(cells);
  }
  return rows;
}

const fs::path kDemo = fs::path(KORVANTO_TEST_SOURCE_DIR) / "data" / "demo";

}  // namespace

TEST(PatternShow, EveryDemoPatternShowsItsFilesCellsStepsDown) {
  for (const char* name : {"Rock", "Breakbeat", "BossaNova", "Fill"}) {
    const Lines file = ReadTextLines(kDemo / (std::string(name) + ".pat"));
    const int steps = std::stoi(file[2]);
    const CommandRun run =
        RunKorvanto({"pattern", "show", (kDemo / (std::string(name) + ".pat")).string()});
    ASSERT_EQ(run.code, 0) << run.err;
    const Lines shown = SplitLines(run.out);
    const int tempo = std::stoi(file[7 * (steps + 3)]);
    EXPECT_EQ(shown[0], "Name:   " + file[0]);
    EXPECT_EQ(shown[1], "Length: " + file[2]);
    EXPECT_EQ(shown[2], "Time:   " + file[4]);
    EXPECT_EQ(shown[3].rfind("Tempo:  " + std::to_string(tempo) + " (", 0), 0u) << shown[3];
    EXPECT_EQ(shown[4], "Loops:  " + file[7 * (steps + 3) + 1]);
    EXPECT_EQ(shown[5], "");
    // The head line, then one line per step.
    const Lines grid(shown.begin() + 6, shown.end());
    ASSERT_EQ(grid.size(), static_cast<size_t>(steps) + 1) << name;
    const std::vector<Lines> rows = GridColumns(grid);
    EXPECT_EQ(rows[0][0], "Step");
    for (int row = 1; row <= steps + 1; ++row)
      for (int column = row == 1 ? 1 : 0; column < 7; ++column)
        EXPECT_EQ(rows[row - 1][column], file[7 * row + column])
            << name << " row " << row << " column " << column;
  }
}

TEST(PatternShow, TempoReadsAsTheWindowsBeatsPerMinuteAndSlotsAreListed) {
  TempDir dir;
  Lines lines{"Groove", "Length:", "2", "Time:", "2", "", ""};
  lines.insert(lines.end(),
               {"", "Channel:1", "Channel:2", "Channel:3", "Channel:4", "Channel:5", "Channel:6"});
  lines.insert(lines.end(), {"1:0*", "Kick      [ ]", "", "", "", "", "Sample1"});
  lines.insert(lines.end(), {"2:1", "", "Snare     [5]", "", "", "", ""});
  lines.insert(lines.end(), 7, "");
  lines.insert(lines.end(), {"64", "3", "/sounds/hit.wav", "22050", "Blank.wav", "44100"});
  WriteTextLines(dir / "Groove.pat", lines);
  const CommandRun run = RunKorvanto({"pattern", "show", (dir / "Groove.pat").string()});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out,
            "Name:   Groove\n"
            "Length: 2\n"
            "Time:   2\n"
            "Tempo:  64 (117.2 BPM)\n"
            "Loops:  3\n"
            "Sample1: /sounds/hit.wav at 22050 Hz\n"
            "\n"
            "Step  Channel:1      Channel:2      Channel:3      Channel:4      Channel:5      "
            "Channel:6\n"
            "1:0*  Kick      [ ]                                                              "
            "Sample1\n"
            "2:1                  Snare     [5]\n");
}

TEST(PatternShow, AMissingOrBrokenFileIsReportedWithExitCodeOne) {
  TempDir dir;
  CommandRun run = RunKorvanto({"pattern", "show", (dir / "Absent.pat").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Cannot open file " + (dir / "Absent.pat").string() + "\n");
  WriteTextLines(dir / "Bad.pat", {"Bad", "Length:", "sixteen"});
  run = RunKorvanto({"pattern", "show", (dir / "Bad.pat").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Bad.pat, line 3: 'sixteen' is not a valid integer value\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(RunKorvanto({"pattern", "print", "x.pat"}).code, 2);
  EXPECT_EQ(RunKorvanto({"pattern"}).code, 2);
}
