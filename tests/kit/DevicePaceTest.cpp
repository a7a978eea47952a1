#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "kit/DevicePace.h"
#include "kit/Mixer.h"

using Clock = Mixer::Clock;
using namespace std::chrono;

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 256;

// A device whose crystal runs at rate * pace, pulling two blocks back to
// back, its thread woken up to 0.5 ms late and now and then 3 ms late.
std::vector<Clock::time_point> DeviceCallbacks(double pace, int blocks, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> late(0, 0.0005);
  const auto start = Clock::time_point(seconds(1000));
  std::vector<Clock::time_point> callbacks;
  for (int k = 0; k < blocks; ++k) {
    const double due = (k / 2 * 2) * static_cast<double>(kPeriod) / (kRate * pace);
    const double wake = late(random) + (k % 37 == 5 ? 0.003 : 0) + (k % 2) * 0.00002;
    callbacks.push_back(start + duration_cast<Clock::duration>(duration<double>(due + wake)));
  }
  return callbacks;
}

double PaceAfter(Mixer& mixer, const std::vector<Clock::time_point>& callbacks) {
  std::vector<float> block(2 * kPeriod);
  for (const auto& at : callbacks) mixer.Render(block.data(), kPeriod, at);
  return mixer.Pace();
}

}  // namespace

TEST(DevicePace, TheMixerLearnsAFastOrSlowCrystalFromJitteryBurstyCallbacks) {
  for (const double pace : {1.0, 1.00025, 0.9997}) {
    Mixer mixer({kRate, kPeriod, true, 16});
    const auto callbacks = DeviceCallbacks(pace, 20 * kRate / kPeriod, 3);
    // Too early to tell: the stream settles first.
    const std::vector<Clock::time_point> first(callbacks.begin(),
                                               callbacks.begin() + 3 * kRate / kPeriod);
    EXPECT_EQ(PaceAfter(mixer, first), 1.0);
    const std::vector<Clock::time_point> rest(callbacks.begin() + first.size(), callbacks.end());
    EXPECT_NEAR(PaceAfter(mixer, rest), pace, 5e-6) << pace;
  }
}

TEST(DevicePace, OldCallbacksFadeAndAResetForgetsThem) {
  DevicePace seen(5.0);
  double t = 0;
  int64_t frame = 0;
  auto run = [&](double pace, double seconds) {
    for (const double end = t + seconds; t < end; frame += kPeriod)
      seen.Add(t += kPeriod / (kRate * pace), frame, kRate);
  };
  run(1.001, 30);
  EXPECT_NEAR(seen.Pace(kRate), 1.001, 1e-7);
  // A device that changed its pace is followed within a few memories.
  run(0.999, 30);
  EXPECT_NEAR(seen.Pace(kRate), 0.999, 1e-4);
  seen.Reset();
  EXPECT_EQ(seen.Pace(kRate), 1.0);
  run(1.002, 1);
  EXPECT_EQ(seen.Pace(kRate), 1.0);  // a second is not enough to tell
  run(1.002, 2);
  EXPECT_NEAR(seen.Pace(kRate), 1.002, 1e-7);
}
