// The rate bridge: the same rates pass samples through unchanged; other
// rates keep the signal's pace (a ramp stays a ramp of the right slope) and
// ask the render for the right number of frames, block after block.
#include <gtest/gtest.h>

#include <cmath>

#include "kit/RateBridge.h"

namespace {

// A render of a ramp: frame n has n on the left and -n on the right.
struct RampRender {
  int64_t next = 0;
  void operator()(float* out, int frames) {
    for (int i = 0; i < frames; ++i, ++next) {
      out[2 * i] = static_cast<float>(next);
      out[2 * i + 1] = -static_cast<float>(next);
    }
  }
};

struct Rates {
  int from, to, block;
};

class RateBridgeRates : public ::testing::TestWithParam<Rates> {};

TEST_P(RateBridgeRates, ARampKeepsItsPaceAcrossBlocks) {
  const Rates rates = GetParam();
  RateBridge bridge(4096);
  bridge.SetRates(rates.from, rates.to);
  RampRender render;
  std::vector<float> block(2 * rates.block);
  const double step = static_cast<double>(rates.from) / rates.to;
  int64_t produced = 0;
  for (int n = 0; n < 40; ++n) {
    bridge.Pull(block.data(), rates.block, render);
    for (int i = 0; i < rates.block; ++i, ++produced) {
      const double expected = static_cast<double>(produced) * step;
      ASSERT_NEAR(block[2 * i], expected, 1e-3 * (1 + expected)) << "frame " << produced;
      ASSERT_NEAR(block[2 * i + 1], -expected, 1e-3 * (1 + expected));
    }
  }
  // The render was asked for what the device frames cover, and two more at most.
  const double covered = static_cast<double>(produced - 1) * step;
  EXPECT_GE(render.next, static_cast<int64_t>(covered) + 1);
  EXPECT_LE(render.next, static_cast<int64_t>(covered) + 3);
}

INSTANTIATE_TEST_SUITE_P(Rates, RateBridgeRates,
                         ::testing::Values(Rates{48000, 48000, 256}, Rates{48000, 44100, 128},
                                           Rates{44100, 48000, 256}, Rates{48000, 96000, 64},
                                           Rates{96000, 44100, 1024}));

TEST(RateBridge, SameRatesAreNoConversion) {
  RateBridge bridge(256);
  bridge.SetRates(48000, 48000);
  EXPECT_FALSE(bridge.Converts());
  bridge.SetRates(48000, 44100);
  EXPECT_TRUE(bridge.Converts());
}

}  // namespace
