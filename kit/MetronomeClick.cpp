#include "kit/MetronomeClick.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kSeconds = 0.03;
constexpr double kDecaySeconds = 0.006;
constexpr double kLevel = 0.4;  // under a kit hit, so it guides without masking
constexpr double kAccentHz = 1760.0;
constexpr double kBeatHz = 1320.0;
}  // namespace

std::vector<int16_t> MetronomeClick(int rate, bool accent) {
  const int frames = std::max(1, static_cast<int>(std::lround(kSeconds * std::max(rate, 1))));
  const double hz = accent ? kAccentHz : kBeatHz;
  std::vector<int16_t> samples(2 * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double value =
        kLevel * std::exp(-t / kDecaySeconds) * std::sin(2 * std::numbers::pi * hz * t);
    const auto sample = static_cast<int16_t>(std::lround(value * 32767));
    samples[2 * static_cast<size_t>(i)] = sample;
    samples[2 * static_cast<size_t>(i) + 1] = sample;
  }
  return samples;
}
