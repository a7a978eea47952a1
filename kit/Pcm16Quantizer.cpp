#include "kit/Pcm16Quantizer.h"

#include <algorithm>
#include <cmath>

// Triangular noise in (-1, 1) steps: the difference of the two 16-bit
// halves of one xorshift draw.
float Pcm16Quantizer::Noise() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  const int high = static_cast<int>(state_ >> 16);
  const int low = static_cast<int>(state_ & 0xFFFFu);
  return static_cast<float>(high - low) * (1.0f / 65536.0f);
}

std::int16_t Pcm16Quantizer::Next(float x) {
  if (clip_) {
    // A clipped sample lands on full scale itself, undithered.
    if (x > 1.0f) {
      ++clipped_;
      return 32767;
    }
    if (x < -1.0f) {
      ++clipped_;
      return -32768;
    }
    if (std::isnan(x)) x = 0.0f;
  }
  float v = x * 32768.0f;
  if (dither_) v += Noise();
  const long rounded = std::lrint(v);
  return static_cast<std::int16_t>(std::clamp<long>(rounded, -32768, 32767));
}
