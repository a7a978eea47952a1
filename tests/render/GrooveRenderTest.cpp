// Swing and humanize in the command-line render, stems and loop-exact
// render: where each hit lands, to the frame, and that one seed always
// gives the same file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;

constexpr int kStepFrames = 5292;  // tempo 60: 0.12 s at 44100 Hz
const std::string kKick = "Kick      [ ]";

// The first frame where either channel is not silent; -1 for none.
long FirstSound(const std::vector<std::int16_t>& samples) {
  for (std::size_t i = 0; i < samples.size(); ++i)
    if (samples[i] != 0) return static_cast<long>(i / 2);
  return -1;
}

int Peak(const std::vector<std::int16_t>& samples) {
  int peak = 0;
  for (const auto s : samples) peak = std::max(peak, std::abs(int{s}));
  return peak;
}

class GrooveRenderTest : public CommandHomeTest {
 protected:
  // A pattern of the given rows at tempo 60 with one kick on row `kick`
  // (none when -1).
  void WritePattern(const std::string& name, int rows, int kick) {
    std::vector<Row> cells(static_cast<std::size_t>(rows), Row{});
    if (kick >= 0) cells[static_cast<std::size_t>(kick)][0] = kKick;
    WriteTextLines(home_ / (name + ".pat"), PatternLines(name, 60, 1, cells));
  }
  void WriteSong(const std::vector<std::string>& entries, const std::string& groove) {
    Lines song = SongLines(entries);
    if (!groove.empty()) song.push_back(groove);
    WriteTextLines(home_ / "G.sng", song);
  }
  std::vector<std::int16_t> Render(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args{"render", "G.sng", "g.wav"};
    args.insert(args.end(), extra.begin(), extra.end());
    const CommandRun run = RunKorvanto(args);
    EXPECT_EQ(run.code, 0) << run.err;
    return WavSamples(home_ / "g.wav");
  }
  // Where a kick on the first row of a plain song first sounds.
  long Reference() {
    WritePattern("Ref", 1, 0);
    WriteSong({"Ref"}, "");
    return FirstSound(Render());
  }
};

TEST_F(GrooveRenderTest, SwingDelaysEverySecondStepOfEachPatternByItsShare) {
  const long reference = Reference();
  struct Case {
    const char* name;
    int swing;
    int firstRows, firstKick;    // the first pattern
    int secondRows, secondKick;  // a second pattern, none when 0 rows
    long frames;                 // the kick's onset after a first-row kick's
  };
  const Case cases[] = {
      {"no swing", 0, 4, 1, 0, 0, kStepFrames},
      {"step 2 at 1.5 steps", 50, 4, 1, 0, 0, 7938},
      {"step 3 is on the beat", 50, 4, 2, 0, 0, 2 * kStepFrames},
      {"step 4 at 3.75 steps", 75, 4, 3, 0, 0, 19845},
      {"a quarter", 25, 4, 1, 0, 0, 6615},
      {"a pattern's first row is on the beat", 50, 3, -1, 2, 0, 3 * kStepFrames},
      {"its second row swings", 50, 3, -1, 2, 1, 23814},
  };
  for (const Case& c : cases) {
    WritePattern("First", c.firstRows, c.firstKick);
    std::vector<std::string> entries{"First"};
    if (c.secondRows > 0) {
      WritePattern("Second", c.secondRows, c.secondKick);
      entries.push_back("Second");
    }
    WriteSong(entries, "<*groove " + std::to_string(c.swing) + " 0 0 0");
    EXPECT_EQ(FirstSound(Render()) - reference, c.frames) << c.name;
  }
}

// Each hit moves by at most the humanize time and is at most the humanize
// loudness quieter; the same seed gives the same file, another seed another.
TEST_F(GrooveRenderTest, HumanizeStaysWithinItsAmountsAndFollowsTheSeed) {
  const long reference = Reference();
  const int plainPeak = Peak(WavSamples(home_ / "g.wav"));
  const long most = 882;  // 20 ms
  int moved = 0, quieter = 0;
  for (int row = 1; row < 8; ++row) {
    WritePattern("One", 8, row);
    WriteSong({"One"}, "<*groove 0 20 60 31337");
    const auto samples = Render();
    const long shift = FirstSound(samples) - reference - row * kStepFrames;
    EXPECT_LE(std::labs(shift), most) << "row " << row;
    moved += shift != 0;
    const int peak = Peak(samples);
    EXPECT_LE(peak, plainPeak) << "row " << row;
    EXPECT_GE(peak, plainPeak * std::pow(10.0, -6.0 / 20) - 1) << "row " << row;
    quieter += peak < plainPeak;
  }
  EXPECT_GE(moved, 5) << "nearly every hit moves";
  EXPECT_GE(quieter, 4) << "most hits are quieter";

  std::vector<Row> rows(16, Row{});
  for (int r = 0; r < 16; ++r) rows[r][r % 3] = r % 2 ? "ClsHiat   [3]" : kKick;
  WriteTextLines(home_ / "Busy.pat", PatternLines("Busy", 60, 2, rows));
  struct Run {
    const char* groove;
    std::string bytes;
  };
  std::vector<Run> runs{{"<*groove 30 15 40 7", {}},
                        {"<*groove 30 15 40 7", {}},
                        {"<*groove 30 15 40 8", {}},
                        {"<*groove 30 0 0 7", {}}};
  for (Run& run : runs) {
    WriteSong({"Busy"}, run.groove);
    Render();
    run.bytes = ReadFileBytes(home_ / "g.wav");
  }
  EXPECT_EQ(runs[0].bytes, runs[1].bytes) << "one seed, one file";
  EXPECT_NE(runs[0].bytes, runs[2].bytes) << "another seed, other draws";
  EXPECT_NE(runs[0].bytes, runs[3].bytes) << "humanize changes the swung render";
}

// Stems and the loop-exact render place the hits as the render does.
TEST_F(GrooveRenderTest, StemsAndTheLoopExactRenderKeepTheGroove) {
  const long reference = Reference();
  // Long enough that no tail folds onto the loop's start.
  WritePattern("Long", 16, 1);
  WriteSong({"Long"}, "<*groove 50 0 0 0");
  EXPECT_EQ(FirstSound(Render({"--loop"})) - reference, 7938);
  const CommandRun run = RunKorvanto({"render", "G.sng", "--stems", "stems"});
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<fs::path> stems;
  for (const auto& entry : fs::directory_iterator(home_ / "stems")) stems.push_back(entry.path());
  ASSERT_EQ(stems.size(), 1u);
  EXPECT_EQ(FirstSound(WavSamples(stems[0])) - reference, 7938);
}

}  // namespace
