// Membrane drums: a sine body whose pitch falls after the strike, plus the
// strike itself.
#include "tools/kitsynth/Voices.h"

namespace kitsynth {

namespace {

// A pitch-swept body: from startHz down towards endHz with time constant
// sweepTau, amplitude decaying with bodyTau.
Signal Body(double seconds, double startHz, double endHz, double sweepTau, double bodyTau) {
  Signal s = Silence(seconds);
  Sweep osc;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double hz = endHz + (startHz - endHz) * Decay(t, sweepTau);
    s[i] = osc.Next(hz) * Decay(t, bodyTau);
  }
  return s;
}

// The beater or stick: a few milliseconds of filtered noise.
Signal Strike(double seconds, uint64_t seed, double hz, double tau) {
  Signal s = Silence(seconds);
  Noise noise(seed);
  Biquad band(Biquad::BandPass, hz, 0.8);
  for (size_t i = 0; i < s.size(); ++i) s[i] = band.Next(noise.Next()) * Decay(TimeOf(i), tau);
  return s;
}

void Saturate(Signal& s, double drive) {
  for (double& v : s) v = std::tanh(drive * v) / std::tanh(drive);
}

}  // namespace

Signal Kick() {
  Signal s = Body(0.55, 170, 48, 0.03, 0.16);
  // Hold the body a little before it decays, as a tight skin does.
  for (size_t i = 0; i < s.size(); ++i) s[i] *= 1.0 + 0.6 * Decay(TimeOf(i), 0.05);
  Saturate(s, 1.6);
  Mix(s, Body(0.55, 1800, 600, 0.002, 0.004), 0.35);  // beater click
  Mix(s, Strike(0.55, 11, 3500, 0.003), 0.6);
  return s;
}

Signal ShortKick() {
  Signal s = Body(0.28, 230, 62, 0.018, 0.06);
  Saturate(s, 2.2);
  Mix(s, Body(0.28, 2200, 800, 0.002, 0.003), 0.4);
  Mix(s, Strike(0.28, 12, 4000, 0.0025), 0.7);
  return s;
}

Signal Snare() {
  Signal s = Silence(0.38);
  Signal low = Body(0.38, 240, 185, 0.02, 0.05);
  Signal high = Body(0.38, 400, 330, 0.02, 0.035);
  Mix(s, low, 0.85);
  Mix(s, high, 0.45);
  // The wires: bright noise with a slower decay than the shell.
  Noise noise(21);
  Biquad highPass(Biquad::HighPass, 1200, 0.7);
  Biquad presence(Biquad::BandPass, 5000, 0.6);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = TimeOf(i);
    double n = highPass.Next(noise.Next());
    n = 0.6 * n + 0.9 * presence.Next(n);
    s[i] += 0.75 * n * Decay(t, 0.075) * Rise(t, 0.001);
  }
  Mix(s, Strike(0.38, 22, 2500, 0.002), 0.5);
  return s;
}

Signal Tom(double hz, double seconds) {
  Signal s = Body(seconds, hz * 1.2, hz, 0.05, seconds / 3.2);
  Mix(s, Body(seconds, hz * 2.2, hz * 1.55, 0.03, seconds / 8), 0.25);  // upper mode
  Mix(s, Strike(seconds, 31 + static_cast<uint64_t>(hz), 1500, 0.004), 0.3);
  Saturate(s, 1.3);
  return s;
}

Signal Conga() {
  Signal s = Body(0.42, 390, 330, 0.012, 0.11);
  Mix(s, Body(0.42, 830, 760, 0.01, 0.025), 0.35);  // slap of the palm
  Mix(s, Strike(0.42, 41, 1200, 0.003), 0.25);
  return s;
}

}  // namespace kitsynth
