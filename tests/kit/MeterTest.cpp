// Level meters: the mixer's per-instrument and output peaks, the same sound
// whether they are measured or not, and how a meter rises, falls and clips.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kit/MeterBallistics.h"
#include "kit/Mixer.h"

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 240;

// A steady level of a whole second, 16-bit stereo.
struct Level {
  std::vector<int16_t> data;
  explicit Level(int16_t value) : data(2 * kRate, value) {}
};

MixerCommand Start(const Level& level, int slot, uint16_t meter, int32_t mixLevel = 0) {
  MixerCommand c;
  c.op = MixerOp::Start;
  c.slot = static_cast<uint16_t>(slot);
  c.generation = 1;
  c.data = reinterpret_cast<const uint8_t*>(level.data.data());
  c.frames = kRate;
  c.layout = SampleLayout{SampleKind::S16, 2, 4, kRate, kRate * 4};
  c.meter = meter;
  c.mixLevel = mixLevel;
  return c;
}

// Two voices on meters 1 and 2 and one on none, rendered for some blocks.
std::vector<float> Play(Mixer& mixer, int blocks) {
  static const Level quiet(4096), loud(16384), other(8192);
  mixer.Send(Start(quiet, 0, 1));
  mixer.Send(Start(loud, 1, 2, -600));
  mixer.Send(Start(other, 2, 0));
  std::vector<float> all, block(2 * kPeriod);
  for (int k = 0; k < blocks; ++k) {
    mixer.Render(block.data(), kPeriod);
    all.insert(all.end(), block.begin(), block.end());
  }
  return all;
}

TEST(Meters, EachMeterHoldsItsVoicesPeakAndMeteringChangesNoSample) {
  Mixer plain({kRate, kPeriod, false, 8});
  Mixer metered({kRate, kPeriod, false, 8});
  metered.SetMetering(true);
  const auto unmeasured = Play(plain, 10);
  const auto measured = Play(metered, 10);
  EXPECT_EQ(measured, unmeasured);
  EXPECT_FLOAT_EQ(metered.TakeMeterPeak(1), 0.125f);
  EXPECT_NEAR(metered.TakeMeterPeak(2), 0.5 * std::pow(10.0, -0.3), 1e-6);  // -6 dB of mix
  EXPECT_EQ(metered.TakeMeterPeak(3), 0.0f);
  EXPECT_EQ(metered.TakeMeterPeak(1), 0.0f) << "a take clears the peak";
  EXPECT_EQ(plain.TakeMeterPeak(1), 0.0f) << "no measuring while metering is off";
  // Out of range meters are none.
  EXPECT_EQ(metered.TakeMeterPeak(-1), 0.0f);
  EXPECT_EQ(metered.TakeMeterPeak(Mixer::kMeters), 0.0f);
}

TEST(Meters, TheOutputsPeakIsTakenBeforeClippingAndClippedBlocksAreCounted) {
  struct Case {
    int16_t a, b;
    float peak;
    int64_t clipped;
  };
  const Case cases[] = {{8192, 8192, 0.5f, 0}, {16384, 16384, 1.0f, 0}, {32767, 16384, 1.5f, 4}};
  for (const Case& c : cases) {
    Mixer mixer({kRate, kPeriod, false, 4});
    const Level a(c.a), b(c.b);
    mixer.Send(Start(a, 0, 0));
    mixer.Send(Start(b, 1, 0));
    std::vector<float> block(2 * kPeriod);
    for (int k = 0; k < 4; ++k) mixer.Render(block.data(), kPeriod);
    EXPECT_NEAR(mixer.TakeOutputPeak(), c.peak, 1e-4) << c.a << "+" << c.b;
    EXPECT_EQ(mixer.ClippedBlocks(), c.clipped) << c.a << "+" << c.b;
    EXPECT_LE(block[0], 1.0f);
  }
}

TEST(Meters, AMeterJumpsToAPeakFallsSteadilyAndKeepsItsClipMark) {
  struct Step {
    float peak;
    double seconds;
    double levelDb;
    bool clipped;
  };
  const Step steps[] = {
      {0.5f, 0.03, 20 * std::log10(0.5), false},       // up at once
      {0.0f, 0.5, 20 * std::log10(0.5) - 12, false},   // 24 dB a second down
      {0.0f, 10.0, MeterBallistics::kFloorDb, false},  // not below the floor
      {1.0f, 0.03, 0.0, true},                         // full scale clips
      {0.1f, 0.25, -6.0, true},                        // the mark stays
      {4.0f, 0.03, MeterBallistics::kTopDb, true},     // held to the top
  };
  MeterBallistics meter;
  for (const Step& s : steps) {
    meter.Take(s.peak, s.seconds);
    EXPECT_NEAR(meter.LevelDb(), s.levelDb, 1e-9) << s.peak << " after " << s.seconds;
    EXPECT_EQ(meter.Clipped(), s.clipped) << s.peak;
  }
  meter.ClearClip();
  EXPECT_FALSE(meter.Clipped());
  EXPECT_NEAR(meter.Fraction(), 1.0, 1e-9);
}

}  // namespace
