// The mixer: whole spans of frames at a time where the bytes allow it,
// single samples through GetSample and SetSample everywhere else. Both give
// the same bytes as adding one sample at a time.
#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "render/CpuClones.h"
#include "render/wavaudio.h"
#include "render/wavaudioMath.h"
#include "render/wavaudioVoice.h"

namespace wavaudio {
namespace {

constexpr std::int32_t kChunkFrames = 4096;

std::int32_t Clamp(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -32767, 32767));
}

KORVANTO_AVX2_CLONES
void Add16(const std::int32_t* add, std::size_t count, std::uint8_t* at) {
  if constexpr (std::endian::native == std::endian::little) {
    std::int16_t block[kChunkFrames];
    while (count > 0) {
      const std::size_t n = std::min<std::size_t>(count, kChunkFrames);
      std::memcpy(block, at, n * 2);
      for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t v = block[i] + add[i];
        block[i] = static_cast<std::int16_t>(v > 32767 ? 32767 : v < -32767 ? -32767 : v);
      }
      std::memcpy(at, block, n * 2);
      at += n * 2;
      add += n;
      count -= n;
    }
  } else {
    for (std::size_t i = 0; i < count; ++i, at += 2)
      EncodeSample(Clamp(std::int64_t(DecodeSample(at, false)) + add[i]), false, at);
  }
}

void Add8(const std::int32_t* add, std::size_t count, std::uint8_t* at) {
  for (std::size_t i = 0; i < count; ++i, ++at)
    EncodeSample(Clamp(std::int64_t(DecodeSample(at, true)) + add[i]), true, at);
}

}  // namespace

std::int32_t TWave::MixOffset(double time) const {
  return RoundToInt32(Divide(double(Format.nAvgBytesPerSec) * time, Format.nBlockAlign));
}

void TWave::MixWave(const TWave* source, std::int32_t rate, double volume, double pan,
                    double time) {
  const std::int32_t offset = MixOffset(time);
  if (source) {
    const MixVoice voice(*source, rate, volume, pan, Format);
    if (std::int64_t(offset) + voice.DestLen() > std::numeric_limits<std::int32_t>::max())
      throw EInvalidOp();
    AddVoice(voice, offset);
  }
  if (useFile_ && file_.IsOpen()) FlushWindow();
}

bool TWave::Packed() const {
  if (!Format.Packed()) return false;
  if (useFile_ && (!file_.IsOpen() || HeldBytes() > WindowBytes())) return false;
  // Every frame below FrameCount is whole and nothing lies beyond it, so new
  // frames read as silence and old ones as they are.
  return DataSize() == std::int64_t(frameCount_) * Format.nBlockAlign;
}

void TWave::AddVoice(const MixVoice& voice, std::int32_t offset, std::int32_t fromFrame,
                     std::int32_t toFrame) {
  if (voice.Channels() != Format.nChannels)
    throw std::logic_error("voice prepared for another channel count");
  const std::int64_t from = std::max<std::int64_t>({offset, fromFrame, 0});
  const std::int64_t to = std::min<std::int64_t>(
      {std::int64_t(offset) + voice.DestLen(), toFrame, std::numeric_limits<std::int32_t>::max()});
  if (from >= to) return;
  if (Packed())
    AddPackedSpan(voice, offset, static_cast<std::int32_t>(from), static_cast<std::int32_t>(to));
  else
    AddSampleBySample(voice, offset, static_cast<std::int32_t>(from),
                      static_cast<std::int32_t>(to));
}

void TWave::AddSampleBySample(const MixVoice& voice, std::int32_t offset, std::int32_t from,
                              std::int32_t to) {
  const int channels = voice.Channels();
  for (std::int64_t start = from; start < to; start += kChunkFrames) {
    const auto f = static_cast<std::int32_t>(start);
    const std::int32_t count = std::min(kChunkFrames, to - f);
    const std::int32_t* add = voice.Additions(f - offset, count, scratch_);
    for (std::int32_t k = 0; k < count; ++k)
      for (int c = 0; c < channels; ++c)
        SetSample(c, f + k, Clamp(std::int64_t(*add++) + GetSample(c, f + k)));
  }
}

void TWave::AddToBytes(const MixVoice& voice, std::int32_t first, std::int32_t count,
                       std::uint8_t* at) {
  const int channels = voice.Channels();
  const std::size_t stride = static_cast<std::size_t>(Format.nBlockAlign);
  for (std::int32_t done = 0; done < count; done += kChunkFrames) {
    const std::int32_t n = std::min(kChunkFrames, count - done);
    const std::int32_t* add = voice.Additions(first + done, n, scratch_);
    const std::size_t samples = static_cast<std::size_t>(n) * channels;
    if (Format.EightBit())
      Add8(add, samples, at + done * stride);
    else
      Add16(add, samples, at + done * stride);
  }
}

void TWave::AddPackedSpan(const MixVoice& voice, std::int32_t offset, std::int32_t from,
                          std::int32_t to) {
  const std::int64_t align = Format.nBlockAlign;
  if (!useFile_) {
    GrowTo(to * align);
    AddToBytes(voice, from - offset, to - from, data_.data() + from * align);
    frameCount_ = std::max(frameCount_, to);
    return;
  }
  for (std::int32_t f = from; f < to;) {
    if (!WindowCovers(f)) MoveWindowTo(f);
    FillFileTo(WindowByteStart());
    const auto end = static_cast<std::int32_t>(
        std::min<std::int64_t>(to, std::int64_t(windowStart_) + kWindowFrames));
    const std::int64_t relFrom = (f - windowStart_) * align;
    const std::int64_t relTo = (end - windowStart_) * align;
    GrowTo(relTo);
    AddToBytes(voice, f - offset, end - f, data_.data() + relFrom);
    MarkDirty(relFrom, relTo);
    frameCount_ = std::max(frameCount_, end);
    f = end;
  }
}

void TWave::MoveWindowTo(std::int32_t frame) {
  FlushWindow();
  FillFileTo(std::int64_t(frame) * Format.nBlockAlign);
  windowStart_ = frame;
  LoadWindow();
}

void TWave::PlaceWindow(std::int32_t frame) {
  if (!useFile_ || !file_.IsOpen() || frame < 0) return;
  if (WindowLoaded()) {
    if (windowStart_ == frame) return;
    FlushWindow();
  }
  windowStart_ = frame;
  LoadWindow();
}

}  // namespace wavaudio
