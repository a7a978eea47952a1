#include "render/wavaudioVoice.h"

#include <cmath>

#include "render/CpuClones.h"
#include "render/wavaudio.h"
#include "render/wavaudioMath.h"

namespace wavaudio {
namespace {

// Voices up to this many samples (about three seconds of stereo) keep all
// their amounts.
constexpr std::int64_t kTableSamples = 1 << 18;

// Every stride-th sample from at, decoded.
void DecodeRow(const std::uint8_t* at, std::size_t frames, int stride, bool eightBit,
               std::int16_t* row) {
  if (eightBit) {
    for (std::size_t i = 0; i < frames; ++i) row[i] = DecodeSample(at + i * stride, true);
    return;
  }
  for (std::size_t i = 0; i < frames; ++i) row[i] = DecodeSample(at + 2 * i * stride, false);
}

// Amounts at whole source frames: sample times volume times gain, rounded.
KORVANTO_AVX2_CLONES
void ScaleFrames(const std::int16_t* const* rows, const double* gains, int channels, double volume,
                 std::int32_t count, std::int32_t* out) {
  if (channels == 2) {
    const std::int16_t* left = rows[0];
    const std::int16_t* right = rows[1];
    for (std::int32_t k = 0; k < count; ++k) {
      out[2 * k] = RoundForMix(double(left[k]) * volume * gains[0]);
      out[2 * k + 1] = RoundForMix(double(right[k]) * volume * gains[1]);
    }
    return;
  }
  for (int c = 0; c < channels; ++c)
    for (std::int32_t k = 0; k < count; ++k)
      out[std::size_t(k) * channels + c] = RoundForMix(double(rows[c][k]) * volume * gains[c]);
}

}  // namespace

std::array<double, 2> PanGains(double pan) {
  if (std::isnan(pan)) throw EInvalidOp();
  if (pan < -1) return {1, 0};
  if (pan < 0) return {1, 1 + pan};
  if (pan == 0) return {1, 1};
  if (pan <= 1) return {1 - pan, 1};
  return {0, 1};
}

MixVoice::MixVoice(const TWave& source, std::int32_t rate, double volume, double pan,
                   const TWaveFormat& destination)
    : channels_(destination.nChannels), sourceFrames_(source.FrameCount()), volume_(volume) {
  const double playingTime =
      Divide(source.Duration() * source.Format.nSamplesPerSec, static_cast<double>(rate));
  destLen_ = RoundToInt32(destination.nSamplesPerSec * playingTime);
  ratio_ = Divide(destLen_, sourceFrames_);
  if (destLen_ <= 0) {
    destLen_ = 0;
    return;
  }
  if (!std::isfinite(volume)) throw EInvalidOp();
  const auto pair = PanGains(pan);
  gains_.assign(static_cast<std::size_t>(channels_), 1.0);
  for (int c = 0; c < channels_ && c < 2; ++c) gains_[c] = pair[c];
  ReadSource(source);
  const std::int64_t total = std::int64_t(destLen_) * channels_;
  if (total <= kTableSamples) {
    table_.resize(static_cast<std::size_t>(total));
    Compute(0, destLen_, table_.data());
  }
}

void MixVoice::ReadSource(const TWave& source) {
  samples_.assign(static_cast<std::size_t>(channels_),
                  std::vector<std::int16_t>(static_cast<std::size_t>(sourceFrames_), 0));
  const TWaveFormat& format = source.Format;
  if (!source.UseFile() && format.Packed()) {
    // Channel c of frame i is sample i * nChannels + c of the bytes; channel
    // nChannels is thus the next frame's first, and bytes past the end read 0.
    const auto& bytes = source.Data();
    const int width = format.SampleBytes();
    const std::int64_t held = static_cast<std::int64_t>(bytes.size()) / width;
    for (int c = 0; c < channels_ && c <= format.nChannels; ++c) {
      // Frames whose sample k = i * nChannels + c lies within the bytes.
      const std::int64_t whole =
          held > c ? (held - c + format.nChannels - 1) / format.nChannels : 0;
      const auto frames = static_cast<std::size_t>(std::min<std::int64_t>(sourceFrames_, whole));
      DecodeRow(bytes.data() + std::size_t(c) * width, frames, format.nChannels, format.EightBit(),
                samples_[static_cast<std::size_t>(c)].data());
    }
    return;
  }
  for (int c = 0; c < channels_; ++c)
    for (std::int32_t i = 0; i < sourceFrames_; ++i)
      samples_[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = source.GetSample(c, i);
}

std::int32_t MixVoice::Sample(int channel, std::int64_t frame) const {
  if (frame < 0 || frame >= sourceFrames_) return 0;
  return samples_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(frame)];
}

const std::int32_t* MixVoice::Additions(std::int32_t first, std::int32_t count,
                                        std::vector<std::int32_t>& scratch) const {
  if (!table_.empty()) return table_.data() + std::int64_t(first) * channels_;
  const std::size_t needed = static_cast<std::size_t>(count) * channels_;
  if (scratch.size() < needed) scratch.resize(needed);
  Compute(first, count, scratch.data());
  return scratch.data();
}

void MixVoice::Compute(std::int32_t first, std::int32_t count, std::int32_t* out) const {
  if (ratio_ == 1.0) {
    // Position n exactly: weights 1 and 0, and s0 * 1 + s1 * 0 is s0. The
    // lengths are then equal, so every n is a source frame.
    std::vector<const std::int16_t*> rows;
    for (const auto& row : samples_) rows.push_back(row.data() + first);
    ScaleFrames(rows.data(), gains_.data(), channels_, volume_, count, out);
    return;
  }
  for (std::int32_t n = first; n < first + count; ++n) {
    const double pos = n / ratio_;
    const auto i0 = static_cast<std::int64_t>(pos);
    const std::int64_t i1 = std::min<std::int64_t>(i0 + 1, sourceFrames_ - 1);
    const double w0 = 1 - (pos - double(i0));
    const double w1 = 1 - w0;
    for (int c = 0; c < channels_; ++c) {
      const double mixed = double(Sample(c, i0)) * w0 + double(Sample(c, i1)) * w1;
      *out++ = RoundForMix(mixed * volume_ * gains_[c]);
    }
  }
}

}  // namespace wavaudio
