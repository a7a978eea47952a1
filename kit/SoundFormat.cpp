#include "kit/SoundFormat.h"

namespace {

uint32_t ReadLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

}  // namespace

std::optional<SampleLayout> ParseSampleLayout(const std::vector<uint8_t>& format) {
  if (format.size() < 16) return std::nullopt;
  uint16_t tag = static_cast<uint16_t>(ReadLe(format, 0, 2));
  SampleLayout layout;
  layout.channels = static_cast<uint16_t>(ReadLe(format, 2, 2));
  layout.rate = ReadLe(format, 4, 4);
  layout.avgBytesPerSec = ReadLe(format, 8, 4);
  layout.blockAlign = static_cast<uint16_t>(ReadLe(format, 12, 2));
  const uint16_t bits = static_cast<uint16_t>(ReadLe(format, 14, 2));
  // Extensible blocks carry the real tag at the start of their sub-format.
  if (tag == 0xFFFE && format.size() >= 26) tag = static_cast<uint16_t>(ReadLe(format, 24, 2));
  if (layout.channels == 0 || layout.rate == 0) return std::nullopt;
  const int bytesPerSample = bits / 8;
  if (bits % 8 != 0 || layout.blockAlign < layout.channels * bytesPerSample) return std::nullopt;
  if (tag == 1) {
    switch (bits) {
      case 8:
        layout.kind = SampleKind::U8;
        break;
      case 16:
        layout.kind = SampleKind::S16;
        break;
      case 24:
        layout.kind = SampleKind::S24;
        break;
      case 32:
        layout.kind = SampleKind::S32;
        break;
      default:
        return std::nullopt;
    }
  } else if (tag == 3 && bits == 32) {
    layout.kind = SampleKind::F32;
  } else {
    return std::nullopt;
  }
  return layout;
}
