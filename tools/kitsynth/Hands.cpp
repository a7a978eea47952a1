// Sticks, shakers, wood and hands: short resonances and shaped noise.
#include <array>

#include "tools/kitsynth/Voices.h"

namespace kitsynth {

Signal Rimshot() {
  Signal s = Silence(0.14);
  Noise noise(81);
  Biquad click(Biquad::HighPass, 3000, 0.7);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    // Rim and shell resonances, struck hard enough to clip.
    double ring = 0.8 * std::sin(2 * Pi * 1720 * t) * Decay(t, 0.009) +
                  0.7 * std::sin(2 * Pi * 470 * t) * Decay(t, 0.018) +
                  0.25 * std::sin(2 * Pi * 3350 * t) * Decay(t, 0.006);
    double v = std::tanh(2.5 * ring) + 0.5 * click.Next(noise.Next()) * Decay(t, 0.003);
    s[i] = v;
  }
  return s;
}

Signal Shaker() {
  Signal s = Silence(0.2);
  Noise noise(91);
  Biquad highPass(Biquad::HighPass, 4500, 0.7);
  Biquad band(Biquad::BandPass, 8500, 1.2);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double n = highPass.Next(noise.Next());
    n = 0.5 * n + band.Next(n);
    // The beads swell as the shaker moves, then settle.
    double env = t < 0.03 ? Rise(t, 0.03) : Decay(t - 0.03, 0.035);
    s[i] = n * env;
  }
  return s;
}

Signal WoodBlock() {
  Signal s = Silence(0.16);
  Noise noise(101);
  Biquad knock(Biquad::BandPass, 1100, 3.0);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double v = std::sin(2 * Pi * 1085 * t) * Decay(t, 0.028) +
               0.35 * std::sin(2 * Pi * 2920 * t) * Decay(t, 0.011) +
               0.15 * std::sin(2 * Pi * 4950 * t) * Decay(t, 0.005);
    s[i] = v + 0.6 * knock.Next(noise.Next()) * Decay(t, 0.004);
  }
  return s;
}

Signal Clap() {
  Signal s = Silence(0.42);
  Noise noise(111);
  Biquad band(Biquad::BandPass, 1150, 1.6);
  Biquad highPass(Biquad::HighPass, 700, 0.7);
  // Several hands, a few milliseconds apart, then the room.
  constexpr std::array<double, 4> hands = {0.0, 0.0105, 0.0215, 0.031};
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double env = 0;
    for (double start : hands)
      if (t >= start) env = std::max(env, Decay(t - start, 0.0035) * Rise(t - start, 0.0006));
    if (t >= hands.back()) env = std::max(env, 0.55 * Decay(t - hands.back(), 0.085));
    double n = noise.Next();
    s[i] = (band.Next(n) * 2.2 + 0.35 * highPass.Next(n)) * env;
  }
  return s;
}

}  // namespace kitsynth
