#pragma once
// Turns samples at full scale +-1 into 16-bit ones. A source of more than
// 16 bits gets TPDF dither of one step; a float source is first clipped at
// full scale, and its clipped samples are counted. The dither follows a
// fixed seed, so a file decodes to the same bytes every time.
#include <cstdint>

class Pcm16Quantizer {
 public:
  // sourceBits: bits per sample of an integer source; 0 for a float one.
  explicit Pcm16Quantizer(int sourceBits)
      : dither_(sourceBits <= 0 || sourceBits > 16), clip_(sourceBits <= 0) {}

  std::int16_t Next(float x);
  std::int64_t Clipped() const { return clipped_; }

 private:
  float Noise();

  bool dither_;
  bool clip_;
  std::uint32_t state_ = 0x9E3779B9u;
  std::int64_t clipped_ = 0;
};
