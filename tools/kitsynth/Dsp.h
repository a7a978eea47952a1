#pragma once
// Small building blocks for synthesising drum sounds: a fixed-seed noise
// source, band-limited squares, RBJ biquads and envelopes. Everything is
// plain arithmetic so the same bytes come out on every build.
#include <cmath>
#include <cstdint>
#include <vector>

namespace kitsynth {

constexpr double SampleRate = 44100.0;
constexpr double Pi = 3.14159265358979323846;

using Signal = std::vector<double>;

inline Signal Silence(double seconds) {
  return Signal(static_cast<size_t>(seconds * SampleRate));
}
inline double TimeOf(size_t i) {
  return static_cast<double>(i) / SampleRate;
}

// xorshift64*: white noise in [-1, 1) from a fixed seed.
class Noise {
 public:
  explicit Noise(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  double Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    uint64_t r = state_ * 0x2545F4914F6CDD1Dull;
    return static_cast<double>(r >> 11) / 4503599627370496.0 - 1.0;  // 2^52
  }

 private:
  uint64_t state_;
};

// A square wave with polyBLEP corners, so high tones don't fold back.
class Square {
 public:
  Square(double hz, double phase = 0) : step_(hz / SampleRate), phase_(phase) {}
  double Next() {
    double v = phase_ < 0.5 ? 1.0 : -1.0;
    v += Blep(phase_);
    v -= Blep(std::fmod(phase_ + 0.5, 1.0));
    phase_ += step_;
    if (phase_ >= 1.0) phase_ -= 1.0;
    return v;
  }

 private:
  double Blep(double t) const {
    if (t < step_) {
      t /= step_;
      return t + t - t * t - 1.0;
    }
    if (t > 1.0 - step_) {
      t = (t - 1.0) / step_;
      return t * t + t + t + 1.0;
    }
    return 0.0;
  }
  double step_;
  double phase_;
};

// A sine whose frequency may change every sample (pitch sweeps).
class Sweep {
 public:
  double Next(double hz) {
    double v = std::sin(2 * Pi * phase_);
    phase_ += hz / SampleRate;
    phase_ -= std::floor(phase_);
    return v;
  }

 private:
  double phase_ = 0;
};

class Biquad {
 public:
  enum Kind { LowPass, HighPass, BandPass };
  Biquad(Kind kind, double hz, double q) {
    double w = 2 * Pi * hz / SampleRate;
    double alpha = std::sin(w) / (2 * q);
    double c = std::cos(w);
    double a0 = 1 + alpha;
    switch (kind) {
      case LowPass:
        b0_ = b2_ = (1 - c) / 2;
        b1_ = 1 - c;
        break;
      case HighPass:
        b0_ = b2_ = (1 + c) / 2;
        b1_ = -(1 + c);
        break;
      case BandPass:  // 0 dB peak gain
        b0_ = alpha;
        b1_ = 0;
        b2_ = -alpha;
        break;
    }
    b0_ /= a0;
    b1_ /= a0;
    b2_ /= a0;
    a1_ = -2 * c / a0;
    a2_ = (1 - alpha) / a0;
  }
  double Next(double x) {
    double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }
  void Run(Signal& s) {
    for (double& v : s) v = Next(v);
  }

 private:
  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// exp(-t / tau): the usual percussive decay.
inline double Decay(double t, double tau) {
  return std::exp(-t / tau);
}

// Rises from 0 to 1 over `seconds` on a raised cosine.
inline double Rise(double t, double seconds) {
  return t >= seconds ? 1.0 : 0.5 - 0.5 * std::cos(Pi * t / seconds);
}

inline void Mix(Signal& into, const Signal& add, double gain = 1.0) {
  for (size_t i = 0; i < into.size() && i < add.size(); ++i) into[i] += gain * add[i];
}

}  // namespace kitsynth
