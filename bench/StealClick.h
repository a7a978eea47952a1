#pragma once
// How much a voice steal clicks: voices of one looping sine play together,
// then `steals` of them are stolen in one block. The figure is the largest
// frame-to-frame step of the mix from the block before the steal on, less
// the largest step the same voices make unstolen, in full scale.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "bench/LoopingVoice.h"
#include "kit/Mixer.h"

namespace stealclick {

constexpr int kRate = 48000, kPeriod = 256;

// One second of a 113 Hz sine, interleaved stereo float.
inline std::vector<float> Sine(float amplitude) {
  std::vector<float> data(2 * kRate);
  for (int f = 0; f < kRate; ++f)
    data[2 * f] = data[2 * f + 1] =
        amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * 113.0 * f / kRate));
  return data;
}

// The largest frame-to-frame step of the mix over four blocks, the steal
// (when stealing) sent before the second.
inline double LargestStep(const std::vector<float>& sine, int voices, int steals) {
  Mixer mixer({kRate, kPeriod, false, voices});
  for (int v = 0; v < voices; ++v) {
    MixerCommand c =
        LoopingStart(v, sine.data(), kRate, SampleLayout{SampleKind::F32, 2, 8, kRate, kRate * 8});
    // Far from a zero crossing when the steal comes: the worst place.
    c.cursor = static_cast<uint32_t>(kRate / 113.0 * 1.25) - kPeriod;
    mixer.Send(c);
  }
  std::vector<float> mix, block(2 * kPeriod);
  for (int b = 0; b < 4; ++b) {
    if (b == 1)
      for (int v = 0; v < steals; ++v) {
        MixerCommand steal;
        steal.op = MixerOp::Steal;
        steal.slot = static_cast<uint16_t>(v);
        mixer.Send(steal);
      }
    mixer.Render(block.data(), kPeriod);
    mix.insert(mix.end(), block.begin(), block.end());
  }
  double largest = 0;
  for (size_t i = 2; i < mix.size(); ++i)
    largest = std::max(largest, std::abs(static_cast<double>(mix[i]) - mix[i - 2]));
  return largest;
}

// The step a steal of `steals` voices of as many adds, the mix kept at 0.8 full scale.
inline double AddedStep(int steals) {
  const auto sine = Sine(0.8f / static_cast<float>(steals));
  return std::max(0.0, LargestStep(sine, steals, steals) - LargestStep(sine, steals, 0));
}

}  // namespace stealclick
