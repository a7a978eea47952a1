#include "render/LoopFold.h"

#include <algorithm>
#include <cstdio>

#include "render/HitTable.h"
#include "render/wavaudio.h"

namespace {

constexpr int kChannels = 2;
constexpr std::int64_t kFrameBytes = 4;
constexpr std::int32_t kClamp = 32767;

std::string Count(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The render's samples are little-endian; so is every machine this builds on,
// but the bytes are decoded to be sure.
void DecodeInto(const std::int16_t* raw, std::int64_t samples, std::int16_t* out) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw);
  for (std::int64_t i = 0; i < samples; ++i)
    out[i] = static_cast<std::int16_t>(std::uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8));
}

}  // namespace

std::int32_t LoopFrames(const SongSteps& steps) {
  wavaudio::TWave output;
  output.Format.nSamplesPerSec = 44100;
  return steps.rows > 0 ? output.MixOffset(steps.length) : 0;
}

std::string LoopLengthText(std::int64_t rows, std::int64_t frames) {
  std::string text = Count(rows / 16, "bar", "bars");
  if (rows % 16 != 0) text += " and " + Count(rows % 16, "step", "steps");
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, ", %.2f s", double(frames) / 44100);
  return text + seconds;
}

FoldedFrames::FoldedFrames(wavaudio::WaveFile& render, std::int64_t length)
    : render_(render),
      renderFrames_(std::max<std::int64_t>(0, render.Size() - wavaudio::kWaveHeaderSize) /
                    kFrameBytes),
      length_(length >= 0 ? length : renderFrames_),
      fold_(length >= 0) {}

void FoldedFrames::Read(std::int64_t first, std::int64_t count, std::int16_t* out) {
  if (count <= 0) return;
  if (!fold_) {
    std::fill(out, out + count * kChannels, std::int16_t{0});
    block_.resize(static_cast<std::size_t>(count * kChannels));
    const std::int64_t have = std::clamp<std::int64_t>(renderFrames_ - first, 0, count);
    render_.ReadExactly(wavaudio::kWaveHeaderSize + first * kFrameBytes, block_.data(),
                        static_cast<std::size_t>(have * kFrameBytes));
    DecodeInto(block_.data(), have * kChannels, out);
    return;
  }
  sums_.assign(static_cast<std::size_t>(count * kChannels), 0);
  for (std::int64_t from = first; from < renderFrames_; from += length_)
    AddFrom(from, std::min(count, renderFrames_ - from), sums_.data());
  for (std::int64_t i = 0; i < count * kChannels; ++i)
    out[i] = static_cast<std::int16_t>(sums_[static_cast<std::size_t>(i)]);
}

void FoldedFrames::AddFrom(std::int64_t from, std::int64_t count, std::int32_t* sums) {
  block_.resize(static_cast<std::size_t>(count * kChannels));
  render_.ReadExactly(wavaudio::kWaveHeaderSize + from * kFrameBytes, block_.data(),
                      static_cast<std::size_t>(count * kFrameBytes));
  decoded_.resize(block_.size());
  DecodeInto(block_.data(), count * kChannels, decoded_.data());
  for (std::int64_t i = 0; i < count * kChannels; ++i)
    sums[i] = std::clamp(sums[i] + decoded_[static_cast<std::size_t>(i)], -kClamp, kClamp);
}
