// The default kit the build synthesises: what a first run loads and plays.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Files.h"
#include "kit/KitTestSupport.h"
#include "kit/Wave.h"
#include "kit/WaveCollection.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::vector<int> Samples(const Wave::TWave& wave) {
  std::vector<int> s(wave.Size() / 2);
  for (size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<int16_t>(wave.Data()[2 * i] | wave.Data()[2 * i + 1] << 8);
  return s;
}

double Seconds(const Wave::TWave& wave) {
  return wave.Size() / 2 / 44100.0;
}

void ExpectPcm16Mono(const Wave::TWave& wave) {
  EXPECT_EQ(wave.FormatTag(), 1);
  EXPECT_EQ(wave.SamplesPerSec(), 44100u);
  EXPECT_EQ(wave.BitsPerSample(), 16);
  EXPECT_EQ(wave.Channels(), 1);
}

class DefaultKit : public testing::Test {
 protected:
  void SetUp() override { kit.LoadFromFile(BuildDir() / "kit" / "power.dxg"); }
  double SecondsOf(const std::string& name) { return Seconds(kit.Find(name).Wave()); }
  TWaveCollection kit;
};

}  // namespace

TEST_F(DefaultKit, HoldsTheBlankAndSixteenInstrumentsInOrder) {
  const std::vector<std::string> names = {"",
                                          "Kick      [ ]",
                                          "Short Kick[ ]",
                                          "Snare     [ ]",
                                          "ClsHiat   [ ]",
                                          "OpHiat    [ ]",
                                          "Tom1      [ ]",
                                          "Tom2      [ ]",
                                          "Cymbol1   [ ]",
                                          "Cymbol2   [ ]",
                                          "Rimshot   [ ]",
                                          "Shaker    [ ]",
                                          "Block     [ ]",
                                          "Congo     [ ]",
                                          "Cowbell   [ ]",
                                          "Crack     [ ]",
                                          "Tamb      [ ]"};
  ASSERT_EQ(kit.Count(), 17);
  for (int i = 0; i < kit.Count(); ++i) EXPECT_EQ(kit[i].Name(), names[i]);
  const Wave::TWave& blank = kit[0].Wave();
  ExpectPcm16Mono(blank);
  EXPECT_GT(blank.Size(), 0);
  EXPECT_LT(Seconds(blank), 0.5);
  for (int s : Samples(blank)) ASSERT_EQ(s, 0);
}

// Staged as a mix: kick and snare near -6 dBFS on top, everything else under
// them, so hits that coincide in a render leave headroom.
TEST_F(DefaultKit, KickAndSnareLeadAndTheRestSitsUnderThem) {
  auto peakDb = [&](const char* name) {
    int peak = 0;
    for (int v : Samples(kit.Find(name).Wave())) peak = std::max(peak, std::abs(v));
    return 20 * std::log10(peak / 32767.0);
  };
  EXPECT_NEAR(peakDb("Kick      [ ]"), -6, 0.1);
  EXPECT_NEAR(peakDb("Snare     [ ]"), -6, 0.1);
  for (int i = 1; i < kit.Count(); ++i) {
    const std::string& name = kit[i].Name();
    if (name == "Kick      [ ]" || name == "Snare     [ ]") continue;
    EXPECT_LT(peakDb(name.c_str()), -6.5) << name;
    EXPECT_GT(peakDb(name.c_str()), -20) << name;
  }
  EXPECT_LT(peakDb("ClsHiat   [ ]"), -12);
}

TEST_F(DefaultKit, InstrumentsSoundAndStartAndEndWithoutClicks) {
  for (int i = 1; i < kit.Count(); ++i) {
    SCOPED_TRACE(kit[i].Name());
    const Wave::TWave& wave = kit[i].Wave();
    ExpectPcm16Mono(wave);
    std::vector<int> s = Samples(wave);
    ASSERT_GT(s.size(), 2000u);
    int peak = 0;
    for (int v : s) peak = std::max(peak, std::abs(v));
    EXPECT_GT(peak, 32767 / 10);
    // Silence at both ends, reached smoothly.
    EXPECT_EQ(s.front(), 0);
    EXPECT_EQ(s.back(), 0);
    EXPECT_LT(std::abs(s[1]), peak / 100);
    EXPECT_LT(std::abs(s[s.size() - 2]), peak / 100);
    // The sound has died away before its end rather than being cut off.
    double tail = 0;
    for (size_t k = s.size() - 441; k < s.size(); ++k) tail += double(s[k]) * s[k];
    EXPECT_LT(std::sqrt(tail / 441), peak / 100.0);
  }
}

TEST_F(DefaultKit, LengthsFitTheInstruments) {
  EXPECT_LT(SecondsOf("ClsHiat   [ ]"), 0.2);
  EXPECT_GT(SecondsOf("OpHiat    [ ]"), 2 * SecondsOf("ClsHiat   [ ]"));
  for (const char* cymbal : {"Cymbol1   [ ]", "Cymbol2   [ ]"}) {
    EXPECT_GE(SecondsOf(cymbal), 1.5);
    EXPECT_LE(SecondsOf(cymbal), 2.5);
  }
  for (int i = 1; i < kit.Count(); ++i) EXPECT_LT(Seconds(kit[i].Wave()), 2.5);
}

TEST_F(DefaultKit, BlankWavIsShortAndSilentAndTheSynthesisRepeatsExactly) {
  Wave::TWave blank;
  blank.LoadFromFile(BuildDir() / "kit" / "Blank.wav");
  ExpectPcm16Mono(blank);
  EXPECT_GT(blank.Size(), 0);
  for (int s : Samples(blank)) ASSERT_EQ(s, 0);

  TempDir dir;
  std::string command = (BuildDir() / "tools" / "kitsynth").string() + " " + dir.path().string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFileBytes(dir / "power.dxg"), ReadFileBytes(BuildDir() / "kit" / "power.dxg"));
  EXPECT_EQ(ReadFileBytes(dir / "Blank.wav"), ReadFileBytes(BuildDir() / "kit" / "Blank.wav"));
}
