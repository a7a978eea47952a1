#pragma once
// One source prepared for mixing at a rate, volume and pan into destinations
// of one format: the lengths, the channel gains and the rounded amount each
// destination sample receives. The amounts depend only on the frame within
// the voice, so a voice serves every hit of the same sound.
#include <array>
#include <cstdint>
#include <vector>

#include "render/wavaudioFormat.h"

namespace wavaudio {

class TWave;

// Gains of the left and right channel for a pan; further channels get 1.
// EInvalidOp for a pan that is not a number.
std::array<double, 2> PanGains(double pan);

class MixVoice {
 public:
  // Raises the arithmetic errors of the mix: a source rate or play rate of 0,
  // a source without frames, a length beyond 32-bit frame numbers, a volume
  // that is not finite.
  MixVoice(const TWave& source, std::int32_t rate, double volume, double pan,
           const TWaveFormat& destination);

  std::int32_t DestLen() const { return destLen_; }
  int Channels() const { return channels_; }

  // Amounts for frames [first, first + count) of the voice, channel by
  // channel within each frame, each already rounded; they go into scratch
  // unless the voice holds them all.
  const std::int32_t* Additions(std::int32_t first, std::int32_t count,
                                std::vector<std::int32_t>& scratch) const;

 private:
  void Compute(std::int32_t first, std::int32_t count, std::int32_t* out) const;
  void ReadSource(const TWave& source);
  std::int32_t Sample(int channel, std::int64_t frame) const;

  int channels_ = 0;
  std::int32_t sourceFrames_ = 0;
  std::int32_t destLen_ = 0;
  double ratio_ = 1;
  double volume_ = 0;
  std::vector<double> gains_;
  // The source as GetSample reads it, one row per destination channel.
  std::vector<std::vector<std::int16_t>> samples_;
  // Every amount, for voices short enough to keep them.
  std::vector<std::int32_t> table_;
};

}  // namespace wavaudio
