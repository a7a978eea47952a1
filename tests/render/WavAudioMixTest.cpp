// Mixing one wave into another: offsets, lengths, interpolation, gains and
// the clamp.
#include <gtest/gtest.h>

#include <cmath>

#include "render/WavAudioSupport.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"
#include "support/TempDir.h"

using namespace wavtest;
using wavaudio::TWave;

namespace {

// A source of constant samples.
void Constant(TWave& wave, int channels, int rate, int frames, int value) {
  Fill(wave, channels, rate, std::vector<int>(std::size_t(frames) * channels, value));
}

class WavAudioMixStorage : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      dest.FileName = dir / "work1.tmp";
      dest.SetUseFile(true);
    }
  }
  TempDir dir;
  TWave dest;
};

INSTANTIATE_TEST_SUITE_P(MemoryAndFile, WavAudioMixStorage, ::testing::Bool());

}  // namespace

TEST_P(WavAudioMixStorage, WorkedExampleFrameByFrame) {
  TWave source;
  std::vector<int> s(2205);
  for (int i = 0; i < 2205; ++i) s[i] = (i * 7919) % 20001 - 10000;
  Fill(source, 1, 22050, s);
  dest.MixWave(&source, 22050, 1.0, 0.0, 0.5);

  ASSERT_EQ(dest.FrameCount(), 22050 + 4410);
  for (int f = 0; f < 22050; f += 97) EXPECT_EQ(dest.GetSample(0, f), 0) << f;
  // Channel 1 of a mono source is the next frame's sample; past the end, 0.
  auto right = [&](int i) { return i + 1 < 2205 ? s[i + 1] : 0; };
  for (int n = 0; n < 4410; ++n) {
    const int k = n / 2;
    const int k1 = std::min(k + 1, 2204);
    int left = s[k], rightValue = right(k);
    if (n % 2) {
      left = static_cast<int>(std::nearbyint(0.5 * s[k] + 0.5 * s[k1]));
      rightValue = static_cast<int>(std::nearbyint(0.5 * right(k) + 0.5 * right(k1)));
    }
    ASSERT_EQ(dest.GetSample(0, 22050 + n), left) << n;
    ASSERT_EQ(dest.GetSample(1, 22050 + n), rightValue) << n;
  }
  // Frame 22051: the means of source frames 0 and 1, and 1 and 2.
  EXPECT_EQ(dest.GetSample(0, 22051), std::nearbyint((s[0] + s[1]) / 2.0));
  EXPECT_EQ(dest.GetSample(1, 22051), std::nearbyint((s[1] + s[2]) / 2.0));
}

TEST_P(WavAudioMixStorage, MixingIntoAnEmptyWaveLeavesExactlyDestLenFrames) {
  TWave source;
  Constant(source, 1, 22050, 101, 1000);
  dest.MixWave(&source, 22050, 1.0, 0.0, 0.0);  // playing time 101/22050 s
  EXPECT_EQ(dest.FrameCount(), 202);
  EXPECT_EQ(dest.DataSize(), 202 * 4);
  EXPECT_EQ(dest.WindowStart(), wavaudio::kNoWindow);  // every mix ends flushed
}

TEST_P(WavAudioMixStorage, MixingBeyondTheEndFillsTheGapWithSilence) {
  TWave source;
  Constant(source, 2, 44100, 10, 1234);
  dest.MixWave(&source, 44100, 1.0, 0.0, 0.0);
  dest.MixWave(&source, 44100, 1.0, 0.0, 100 / 44100.0);
  EXPECT_EQ(dest.FrameCount(), 110);
  for (int f = 0; f < 110; ++f) {
    const int expected = f < 10 || f >= 100 ? 1234 : 0;
    ASSERT_EQ(dest.GetSample(0, f), expected) << f;
    ASSERT_EQ(dest.GetSample(1, f), expected) << f;
  }
}

TEST_P(WavAudioMixStorage, SumsClampAtPlusAndMinus32767) {
  TWave loud, low;
  Constant(loud, 2, 44100, 4, 32767);
  Constant(low, 2, 44100, 4, -32768);
  dest.MixWave(&loud, 44100, 1.0, 0.0, 0.0);
  dest.MixWave(&loud, 44100, 1.0, 0.0, 0.0);
  EXPECT_EQ(dest.GetSample(0, 3), 32767);
  dest.MixWave(&low, 44100, 1.0, 0.0, 8 / 44100.0);
  EXPECT_EQ(dest.GetSample(0, 8), -32767);  // one addition already clamps
  dest.MixWave(&low, 44100, 1.0, 0.0, 8 / 44100.0);
  EXPECT_EQ(dest.GetSample(1, 11), -32767);
  // The clamp is applied at each addition, not to the final sum.
  dest.MixWave(&loud, 44100, 1.0, 0.0, 0.0);
  EXPECT_EQ(dest.GetSample(0, 0), 32767);
  dest.MixWave(&low, 44100, 1.0, 0.0, 0.0);
  EXPECT_EQ(dest.GetSample(0, 0), -1);
}

TEST_P(WavAudioMixStorage, VolumeScalesInvertsOrOnlyLengthens) {
  TWave source;
  Constant(source, 2, 44100, 5, 1000);
  dest.MixWave(&source, 44100, -0.125, 0.0, 0.0);
  EXPECT_EQ(dest.GetSample(0, 4), -125);
  dest.MixWave(&source, 44100, 0.0, 0.0, 20 / 44100.0);
  EXPECT_EQ(dest.FrameCount(), 25);
  EXPECT_EQ(dest.GetSample(1, 24), 0);
  EXPECT_EQ(dest.GetSample(1, 0), -125);
}

TEST_P(WavAudioMixStorage, PanGivesTheChannelGains) {
  TWave source;
  Constant(source, 2, 44100, 1, 1001);
  const std::vector<std::pair<double, std::pair<int, int>>> cases = {
      {0.5, {500, 1001}},  // 500.5 rounds to even
      {-2, {1001, 0}},    {2, {0, 1001}},  {-0.25, {1001, 751}},
      {1, {0, 1001}},     {-1, {1001, 0}}, {0, {1001, 1001}}};
  int frame = 0;
  for (const auto& [pan, gains] : cases) {
    dest.MixWave(&source, 44100, 1.0, pan, frame / 44100.0);
    EXPECT_EQ(dest.GetSample(0, frame), gains.first) << pan;
    EXPECT_EQ(dest.GetSample(1, frame), gains.second) << pan;
    ++frame;
  }
}

TEST_P(WavAudioMixStorage, PlayRateChangesLengthAndPitch) {
  TWave source;
  Fill(source, 1, 44100, {0, 100, 200, 300, 400, 500, 600, 700});
  dest.MixWave(&source, 88200, 1.0, 0.0, 0.0);  // twice as fast: every other frame
  ASSERT_EQ(dest.FrameCount(), 4);
  for (int f = 0; f < 4; ++f) EXPECT_EQ(dest.GetSample(0, f), 200 * f);

  TWave one;
  Fill(one, 1, 44100, {999});
  dest.MixWave(&one, 88200, 1.0, 0.0, 10 / 44100.0);  // DestLen Round(0.5) = 0
  EXPECT_EQ(dest.FrameCount(), 4);
}

TEST_P(WavAudioMixStorage, ArithmeticErrorsWriteNothing) {
  TWave source, empty, noRate;
  Constant(source, 2, 44100, 4, 77);
  Constant(noRate, 2, 44100, 4, 77);
  noRate.Format.nSamplesPerSec = 0;
  dest.MixWave(&source, 44100, 1.0, 0.0, 0.0);
  EXPECT_THROW(dest.MixWave(&source, 0, 1.0, 0.0, 1.0), wavaudio::EZeroDivide);
  EXPECT_THROW(dest.MixWave(&empty, 44100, 1.0, 0.0, 1.0), wavaudio::EInvalidOp);
  EXPECT_THROW(dest.MixWave(&noRate, 44100, 1.0, 0.0, 1.0), wavaudio::EMathError);
  EXPECT_THROW(dest.MixWave(&source, 44100, NAN, 0.0, 1.0), wavaudio::EInvalidOp);
  EXPECT_THROW(dest.MixWave(&source, 44100, 1.0, 0.0, 1e9), wavaudio::EInvalidOp);
  dest.Format.nBlockAlign = 0;
  EXPECT_THROW(dest.MixWave(&source, 44100, 1.0, 0.0, 1.0), wavaudio::EZeroDivide);
  dest.Format.nBlockAlign = 4;
  EXPECT_EQ(dest.FrameCount(), 4);
  EXPECT_EQ(dest.DataSize(), 16);
  EXPECT_EQ(dest.GetSample(1, 3), 77);
}

TEST_P(WavAudioMixStorage, EightBitDestinationStoresTheClampedSum) {
  dest.Format = {1, 1, 44100, 44100, 1, 8};
  TWave loud, low;
  Constant(loud, 1, 44100, 2, 32767);
  Constant(low, 1, 44100, 2, -32767);
  dest.MixWave(&loud, 44100, 1.0, 0.0, 0.0);
  dest.MixWave(&low, 44100, 1.0, 0.0, 4 / 44100.0);
  // 32767 as 255, -32767 as 0, and the gap between them as silence, 128.
  const std::vector<std::uint8_t> expected = {255, 255, 128, 128, 0, 0};
  if (GetParam())
    EXPECT_EQ(ReadFileBytes(dir / "work1.tmp"), std::string(expected.begin(), expected.end()));
  else
    EXPECT_EQ(dest.Data(), expected);
  EXPECT_EQ(dest.GetSample(0, 0), 32385);
  EXPECT_EQ(dest.GetSample(0, 4), -32640);
}

TEST_P(WavAudioMixStorage, ChannelsBeyondTheSecondGetFullLevel) {
  dest.Format = {1, 3, 44100, 264600, 6, 16};
  TWave source;
  Constant(source, 3, 44100, 2, 600);
  dest.MixWave(&source, 44100, 0.5, 0.5, 0.0);
  EXPECT_EQ(dest.GetSample(0, 1), 150);
  EXPECT_EQ(dest.GetSample(1, 1), 300);
  EXPECT_EQ(dest.GetSample(2, 1), 300);
}

TEST_P(WavAudioMixStorage, NegativeOffsetDropsTheFramesBeforeTheStart) {
  TWave source;
  Fill(source, 1, 44100, {1, 2, 3, 4});
  dest.MixWave(&source, 44100, 1.0, 0.0, -2 / 44100.0);
  EXPECT_EQ(dest.FrameCount(), 2);
  EXPECT_EQ(dest.GetSample(0, 0), 3);
  EXPECT_EQ(dest.GetSample(0, 1), 4);
}

TEST_P(WavAudioMixStorage, MixingAWaveIntoItselfUsesItsSamplesFromBefore) {
  Fill(dest, 2, 44100, {10, 20, 30, 40});
  if (GetParam()) dest.FlushWindow();
  dest.MixWave(&dest, 44100, 1.0, 0.0, 1 / 44100.0);
  EXPECT_EQ(dest.FrameCount(), 3);
  EXPECT_EQ(dest.GetSample(0, 1), 40);  // 30 + 10, not 30 + 40
  EXPECT_EQ(dest.GetSample(1, 2), 40);
}
