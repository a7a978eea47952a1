#pragma once
// The format record (body of a PCM "fmt " chunk) and the sample codec.
#include <array>
#include <cmath>
#include <cstdint>

namespace wavaudio {

constexpr int kFormatRecordSize = 16;
using FormatBytes = std::array<std::uint8_t, kFormatRecordSize>;

struct TWaveFormat {
  std::uint16_t wFormatTag = 1;
  std::uint16_t nChannels = 2;
  std::uint32_t nSamplesPerSec = 44100;
  std::uint32_t nAvgBytesPerSec = 176400;
  std::uint16_t nBlockAlign = 4;
  std::uint16_t wBitsPerSample = 16;

  // Little-endian, field by field, as in the file.
  FormatBytes ToBytes() const;
  static TWaveFormat FromBytes(const FormatBytes& bytes);

  bool EightBit() const { return wBitsPerSample == 8; }
  // Bytes one stored sample takes: 8-bit data one, everything else two.
  int SampleBytes() const { return EightBit() ? 1 : 2; }
  // Byte used to fill gaps: silence for the sample width.
  std::uint8_t SilenceByte() const { return EightBit() ? 128 : 0; }

  // Byte position of channel c of frame f; rounds like every other step.
  std::int64_t SamplePosition(std::int32_t channel, std::int32_t frame) const {
    return static_cast<std::int64_t>(
        std::nearbyint(double(nBlockAlign) * frame + double(wBitsPerSample) * channel * 0.125));
  }

  // Frames are whole runs of samples, each at its own place: 8 or 16 bits and
  // a block align of exactly one sample per channel. Spans can then be mixed
  // without going through single-sample addressing.
  bool Packed() const {
    return (wBitsPerSample == 8 || wBitsPerSample == 16) && nChannels >= 1 &&
           nBlockAlign == nChannels * SampleBytes();
  }
};

// The 44-byte header SaveToFile writes before the samples.
constexpr int kWaveHeaderSize = 44;
std::array<std::uint8_t, kWaveHeaderSize> WaveHeader(const TWaveFormat& format,
                                                     std::uint32_t dataSize);

inline std::int16_t DecodeSample(const std::uint8_t* at, bool eightBit) {
  if (eightBit) return static_cast<std::int16_t>((int(at[0]) - 128) * 255);
  return static_cast<std::int16_t>(std::uint16_t(at[0] | (at[1] << 8)));
}

inline void EncodeSample(std::int32_t value, bool eightBit, std::uint8_t* at) {
  if (eightBit) {
    long byte = std::lrint(std::nearbyint(value / 255.0)) + 128;
    at[0] = static_cast<std::uint8_t>(byte < 0 ? 0 : byte > 255 ? 255 : byte);
    return;
  }
  const auto low = static_cast<std::uint16_t>(value);
  at[0] = static_cast<std::uint8_t>(low & 0xFF);
  at[1] = static_cast<std::uint8_t>(low >> 8);
}

}  // namespace wavaudio
