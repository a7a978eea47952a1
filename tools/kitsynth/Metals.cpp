// Metal sounds: banks of detuned squares (and their ring-modulated products)
// through high band filters give the clangorous partials of cymbals and bells.
#include <array>

#include "tools/kitsynth/Voices.h"

namespace kitsynth {

namespace {

// Six inharmonic square tones, as in the classic analogue hi-hat circuit.
constexpr std::array<double, 6> HatTones = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};

Signal MetalBank(double seconds, double scale, bool ringModulated) {
  Signal s = Silence(seconds);
  std::array<Square, 6> osc = {Square(HatTones[0] * scale, 0.1), Square(HatTones[1] * scale, 0.7),
                               Square(HatTones[2] * scale, 0.3), Square(HatTones[3] * scale, 0.9),
                               Square(HatTones[4] * scale, 0.5), Square(HatTones[5] * scale, 0.2)};
  for (double& v : s) {
    std::array<double, 6> x;
    for (size_t k = 0; k < osc.size(); ++k) x[k] = osc[k].Next();
    if (ringModulated)
      v = (x[0] * x[3] + x[1] * x[4] + x[2] * x[5]) / 3;
    else
      v = (x[0] + x[1] + x[2] + x[3] + x[4] + x[5]) / 6;
  }
  return s;
}

Signal Hat(double seconds, double tau, uint64_t seed) {
  Signal s = MetalBank(seconds, 1.0, false);
  Mix(s, MetalBank(seconds, 1.47, true), 0.6);
  Noise noise(seed);
  for (double& v : s) v += 0.25 * noise.Next();
  Biquad band(Biquad::BandPass, 10000, 0.9);
  Biquad highPass(Biquad::HighPass, 7000, 0.7);
  Biquad highPass2(Biquad::HighPass, 7000, 0.7);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double v = highPass2.Next(highPass.Next(band.Next(s[i]) + 0.3 * s[i]));
    s[i] = v * Decay(t, tau) * (1.0 + 1.5 * Decay(t, 0.004));
  }
  return s;
}

}  // namespace

Signal ClosedHat() {
  return Hat(0.11, 0.022, 51);
}

Signal OpenHat() {
  Signal s = Hat(0.62, 0.16, 52);
  // The two cymbals of the pair shimmer against each other.
  for (size_t i = 0; i < s.size(); ++i) s[i] *= 1.0 + 0.12 * std::sin(2 * Pi * 7 * TimeOf(i));
  return s;
}

Signal Crash() {
  double seconds = 2.3;
  Signal s = MetalBank(seconds, 1.9, true);
  Mix(s, MetalBank(seconds, 2.73, true), 0.8);
  Mix(s, MetalBank(seconds, 1.31, false), 0.4);
  Noise noise(61);
  Biquad band(Biquad::BandPass, 6500, 0.5);
  Biquad highPass(Biquad::HighPass, 3500, 0.7);
  Biquad air(Biquad::HighPass, 9000, 0.7);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double n = noise.Next();
    double metal = highPass.Next(band.Next(s[i] + 0.5 * n));
    double wash = air.Next(n);
    // A bright splash on the strike, then the long ring.
    double env = 0.4 * Decay(t, 0.05) + 0.6 * Decay(t, 0.75);
    s[i] = (metal + 0.35 * wash * Decay(t, 0.35)) * env * Rise(t, 0.002);
  }
  return s;
}

Signal Ride() {
  double seconds = 1.8;
  Signal s = MetalBank(seconds, 2.4, true);
  Mix(s, MetalBank(seconds, 3.1, false), 0.5);
  Biquad band(Biquad::BandPass, 7500, 0.7);
  Biquad highPass(Biquad::HighPass, 3000, 0.7);
  Noise noise(62);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double metal = highPass.Next(band.Next(s[i] + 0.2 * noise.Next()));
    // The bell: a few inharmonic partials that ring on after the wash.
    double bell = 0.45 * std::sin(2 * Pi * 2960 * t) + 0.3 * std::sin(2 * Pi * 4411 * t) +
                  0.2 * std::sin(2 * Pi * 5873 * t);
    s[i] = (metal * (0.5 * Decay(t, 0.05) + 0.5 * Decay(t, 0.55)) + 0.22 * bell * Decay(t, 0.45)) *
           Rise(t, 0.0015);
  }
  return s;
}

Signal Cowbell() {
  Signal s = Silence(0.42);
  Square low(540, 0.0), high(800, 0.25);
  Square lowDetuned(546, 0.6), highDetuned(807, 0.85);
  Biquad band(Biquad::BandPass, 2600, 0.9);
  Biquad body(Biquad::BandPass, 800, 1.5);
  Biquad soften(Biquad::LowPass, 6000, 0.7);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double x = (low.Next() + high.Next() + 0.5 * lowDetuned.Next() + 0.5 * highDetuned.Next()) / 3;
    double v = soften.Next(band.Next(x) + 0.6 * body.Next(x));
    s[i] = v * (0.6 * Decay(t, 0.012) + 0.4 * Decay(t, 0.11)) * Rise(t, 0.0008);
  }
  return s;
}

Signal Tambourine() {
  Signal s = Silence(0.42);
  // The jingles: pairs of thin discs at high, slightly spread pitches.
  constexpr std::array<double, 8> jingles = {5230, 5790, 6650, 7180, 8120, 8740, 9610, 10450};
  Noise noise(71);
  Biquad highPass(Biquad::HighPass, 6000, 0.7);
  Biquad highPass2(Biquad::HighPass, 6000, 0.7);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double ring = 0;
    for (size_t k = 0; k < jingles.size(); ++k)
      ring += std::sin(2 * Pi * jingles[k] * t + k) * Decay(t, 0.05 + 0.012 * k);
    double n = noise.Next();
    // The jingles strike twice as the frame shakes.
    double hits = Decay(t, 0.03) + (t > 0.035 ? 0.55 * Decay(t - 0.035, 0.05) : 0.0);
    s[i] = highPass2.Next(
        highPass.Next(0.15 * ring * hits + n * (0.7 * hits + 0.25 * Decay(t, 0.12))));
    s[i] *= Rise(t, 0.001);
  }
  return s;
}

}  // namespace kitsynth
