#include "render/wavaudioFormat.h"

namespace wavaudio {
namespace {

void Put16(std::uint8_t* at, std::uint16_t v) {
  at[0] = v & 0xFF;
  at[1] = v >> 8;
}
void Put32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = (v >> (8 * i)) & 0xFF;
}
std::uint16_t Get16(const std::uint8_t* at) {
  return std::uint16_t(at[0] | (at[1] << 8));
}
std::uint32_t Get32(const std::uint8_t* at) {
  return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
         std::uint32_t(at[3]) << 24;
}

}  // namespace

FormatBytes TWaveFormat::ToBytes() const {
  FormatBytes b{};
  Put16(&b[0], wFormatTag);
  Put16(&b[2], nChannels);
  Put32(&b[4], nSamplesPerSec);
  Put32(&b[8], nAvgBytesPerSec);
  Put16(&b[12], nBlockAlign);
  Put16(&b[14], wBitsPerSample);
  return b;
}

TWaveFormat TWaveFormat::FromBytes(const FormatBytes& b) {
  TWaveFormat f;
  f.wFormatTag = Get16(&b[0]);
  f.nChannels = Get16(&b[2]);
  f.nSamplesPerSec = Get32(&b[4]);
  f.nAvgBytesPerSec = Get32(&b[8]);
  f.nBlockAlign = Get16(&b[12]);
  f.wBitsPerSample = Get16(&b[14]);
  return f;
}

}  // namespace wavaudio
