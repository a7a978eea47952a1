#pragma once
// Byte builders and helpers for the wave buffer tests.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/Files.h"
#include "render/wavaudio.h"

namespace wavtest {

inline std::string U16(std::uint32_t v) {
  return std::string{char(v & 0xFF), char(v >> 8 & 0xFF)};
}
inline std::string U32(std::uint32_t v) {
  return U16(v & 0xFFFF) + U16(v >> 16);
}

inline std::string Chunk(const std::string& id, const std::string& body, bool padOdd = false) {
  std::string out = id + U32(static_cast<std::uint32_t>(body.size())) + body;
  if (padOdd && body.size() % 2) out.push_back('\0');
  return out;
}

// A format body: tag, channels, rate, bytes per second, block align, bits.
inline std::string Fmt(int channels, int rate, int bits, int blockAlign = -1, int avg = -1) {
  if (blockAlign < 0) blockAlign = channels * bits / 8;
  if (avg < 0) avg = rate * blockAlign;
  return U16(1) + U16(channels) + U32(rate) + U32(avg) + U16(blockAlign) + U16(bits);
}

inline std::string Pcm16(std::initializer_list<int> samples) {
  std::string out;
  for (int s : samples) out += U16(static_cast<std::uint16_t>(s));
  return out;
}

// RIFF size as the body length + 4 unless given.
inline std::string Riff(const std::string& chunks, std::int64_t riffSize = -1) {
  if (riffSize < 0) riffSize = static_cast<std::int64_t>(chunks.size()) + 4;
  return "RIFF" + U32(static_cast<std::uint32_t>(riffSize)) + "WAVE" + chunks;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  WriteFileAtomically(path, bytes);
}

inline std::string Bytes(const wavaudio::TWave& wave) {
  return std::string(wave.Data().begin(), wave.Data().end());
}

// A 16-bit wave in memory storage with the given interleaved samples.
inline void Fill(wavaudio::TWave& wave, int channels, int rate, const std::vector<int>& samples) {
  wave.Format.nChannels = static_cast<std::uint16_t>(channels);
  wave.Format.nSamplesPerSec = static_cast<std::uint32_t>(rate);
  wave.Format.nBlockAlign = static_cast<std::uint16_t>(2 * channels);
  wave.Format.nAvgBytesPerSec = static_cast<std::uint32_t>(rate * 2 * channels);
  wave.Format.wBitsPerSample = 16;
  for (std::size_t i = 0; i < samples.size(); ++i)
    wave.SetSample(static_cast<int>(i % channels), static_cast<int>(i / channels), samples[i]);
}

}  // namespace wavtest
