#pragma once
// The sample layout a format block describes, as the mixer reads it.
#include <cstdint>
#include <optional>
#include <vector>

enum class SampleKind : uint8_t { U8, S16, S24, S32, F32 };

struct SampleLayout {
  SampleKind kind = SampleKind::S16;
  uint16_t channels = 2;
  uint16_t blockAlign = 4;
  uint32_t rate = 44100;
  uint32_t avgBytesPerSec = 176400;
};

// The layout of a PCM (tag 1), float (tag 3) or extensible (0xFFFE) format
// block; nothing when the block is too short or describes something else.
std::optional<SampleLayout> ParseSampleLayout(const std::vector<uint8_t>& format);
