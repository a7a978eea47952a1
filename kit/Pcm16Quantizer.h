#pragma once
// Turns samples at full scale +-1 into 16-bit ones. A sample of a source of
// more than 16 bits gets TPDF dither of one step unless 16 bits hold it
// exactly: a 16-bit sound kept in a deeper file comes back bit for bit, and
// silence stays silent. A float source is first clipped at full scale, and
// its clipped samples are counted. The dither follows a fixed seed that
// advances on every sample, so a file decodes to the same bytes every time.
// Inline: it runs once per sample of every decoded file.
#include <algorithm>
#include <cmath>
#include <cstdint>

class Pcm16Quantizer {
 public:
  // sourceBits: bits per sample of an integer source; 0 for a float one.
  explicit Pcm16Quantizer(int sourceBits)
      : dither_(sourceBits <= 0 || sourceBits > 16), clip_(sourceBits <= 0) {}

  std::int16_t Next(float x) {
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
    if (dither_) {
      const float noise = Noise();
      if (v != std::nearbyint(v)) v += noise;
    }
    return static_cast<std::int16_t>(std::clamp<long>(std::lrint(v), -32768, 32767));
  }
  std::int64_t Clipped() const { return clipped_; }

 private:
  // Triangular noise in (-1, 1) steps: the difference of the two 16-bit
  // halves of one xorshift draw.
  float Noise() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    const int high = static_cast<int>(state_ >> 16);
    const int low = static_cast<int>(state_ & 0xFFFFu);
    return static_cast<float>(high - low) * (1.0f / 65536.0f);
  }

  bool dither_;
  bool clip_;
  std::uint32_t state_ = 0x9E3779B9u;
  std::int64_t clipped_ = 0;
};
