// The song's mix (level, mute and solo per kit instrument) in the render and
// the stems, through the command line: sample values against renders of each
// instrument alone.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;

class MixExportTest : public CommandHomeTest {
 protected:
  void SetUp() override {
    CommandHomeTest::SetUp();
    WriteSong("Kick", {"Kick      [ ]", ""}, {});
    WriteSong("Snare", {"", "Snare     [2]"}, {});
    kick_ = Render("Kick");
    snare_ = Render("Snare");
  }

  // A pattern of 8 steps: the kick on the first, the snare on the third.
  void WriteSong(const std::string& name, const std::array<std::string, 2>& cells,
                 const std::vector<std::string>& mix) {
    std::vector<Row> rows(8, Row{});
    rows[0][0] = cells[0];
    rows[2][1] = cells[1];
    WriteTextLines(home_ / (name + ".pat"), PatternLines(name, 60, 1, rows));
    Lines song = SongLines({name});
    song.insert(song.end(), mix.begin(), mix.end());
    WriteTextLines(home_ / (name + ".sng"), song);
  }

  std::vector<std::int16_t> Render(const std::string& name) {
    const CommandRun run = RunKorvanto({"render", name + ".sng", name + ".wav"});
    EXPECT_EQ(run.code, 0) << run.err;
    return WavSamples(home_ / (name + ".wav"));
  }

  // What the kick and snare alone give, each scaled by its gain, summed.
  std::vector<double> Expected(double kickGain, double snareGain, std::size_t size) const {
    std::vector<double> sum(size, 0.0);
    for (std::size_t i = 0; i < size; ++i) {
      if (i < kick_.size()) sum[i] += kick_[i] * kickGain;
      if (i < snare_.size()) sum[i] += snare_[i] * snareGain;
    }
    return sum;
  }

  std::vector<std::int16_t> kick_, snare_;
};

double Db(int centiDb) {
  return std::pow(10.0, centiDb / 2000.0);
}

struct MixCase {
  const char* what;
  std::vector<std::string> mix;
  double kickGain, snareGain;
};

const MixCase kCases[] = {
    {"plain", {}, 1, 1},
    {"kick muted", {"<*mix 0 1 0 Kick"}, 0, 1},
    {"snare soloed", {"<*mix 0 0 1 Snare"}, 0, 1},
    {"both soloed", {"<*mix 0 0 1 Snare", "<*mix 0 0 1 Kick"}, 1, 1},
    {"soloed and muted", {"<*mix 0 1 1 Kick"}, 0, 0},
    {"name in another case", {"<*mix 0 1 0 KICK"}, 0, 1},
    {"kick at -6 dB", {"<*mix -600 0 0 Kick"}, Db(-600), 1},
    {"snare at +4.5 dB", {"<*mix 450 0 0 Snare"}, 1, Db(450)},
    {"kick at -inf", {"<*mix -100000 0 0 Kick"}, 0, 1},
    {"an instrument the song lacks", {"<*mix 0 0 1 Cowbell"}, 0, 0},
};

TEST_F(MixExportTest, TheRenderSoundsEachInstrumentAsTheMixSets) {
  const std::size_t plainSize = std::max(kick_.size(), snare_.size());
  for (const MixCase& c : kCases) {
    WriteSong("Both", {"Kick      [ ]", "Snare     [2]"}, c.mix);
    const auto render = Render("Both");
    // A silenced instrument keeps its place: the song is as long as ever.
    ASSERT_EQ(render.size(), plainSize) << c.what;
    const auto expected = Expected(c.kickGain, c.snareGain, render.size());
    std::size_t worst = 0;
    double worstError = 0;
    for (std::size_t i = 0; i < render.size(); ++i) {
      const double error = std::abs(render[i] - expected[i]);
      if (error > worstError) worstError = error, worst = i;
    }
    // Rounding: once per instrument in the render, once in each reference.
    EXPECT_LE(worstError, 3.0) << c.what << " at sample " << worst;
  }
}

TEST_F(MixExportTest, StemsLeaveOutSilencedInstrumentsAndCarryLevels) {
  WriteSong("Both", {"Kick      [ ]", "Snare     [2]"},
            {"<*mix 0 1 0 Kick", "<*mix -600 0 0 Snare"});
  const CommandRun run = RunKorvanto({"render", "Both.sng", "--stems", "stems"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_FALSE(fs::exists(home_ / "stems" / "01 Kick.wav"));
  ASSERT_TRUE(fs::exists(home_ / "stems" / "01 Snare.wav")) << run.out;
  const auto stem = WavSamples(home_ / "stems" / "01 Snare.wav");
  // As long as the song, the muted kick's sound included.
  ASSERT_EQ(stem.size(), std::max(kick_.size(), snare_.size()));
  for (std::size_t i = 0; i < stem.size(); ++i) {
    const double expected = i < snare_.size() ? snare_[i] * Db(-600) : 0.0;
    ASSERT_LE(std::abs(stem[i] - expected), 2.0) << "sample " << i;
  }
}

// Every instrument silenced: the song renders as silence of its length.
TEST_F(MixExportTest, ASongWithEveryInstrumentMutedRendersSilence) {
  WriteSong("Both", {"Kick      [ ]", "Snare     [2]"}, {"<*mix 0 1 0 Kick", "<*mix 0 1 0 Snare"});
  const auto render = Render("Both");
  ASSERT_EQ(render.size(), std::max(kick_.size(), snare_.size()));
  EXPECT_TRUE(std::all_of(render.begin(), render.end(), [](auto s) { return s == 0; }));
}

}  // namespace
