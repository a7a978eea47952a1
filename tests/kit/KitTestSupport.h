#pragma once
// Byte helpers for the kit tests.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "kit/Wave.h"

inline std::string B(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out.push_back(static_cast<char>(b));
  return out;
}

inline std::string U32(uint32_t v) {
  return B({int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24)});
}

inline std::string Chunk(const std::string& id, const std::string& payload) {
  return id + U32(static_cast<uint32_t>(payload.size())) + payload;
}

inline std::string Riff(const std::string& body, const std::string& form = "WAVE") {
  return "RIFF" + U32(static_cast<uint32_t>(body.size() + 4)) + form + body;
}

inline std::string PcmFormat() {
  Wave::Bytes f = Wave::MakePcmFormat(44100, 16, 1);
  return std::string(f.begin(), f.end());
}

inline Wave::TWave WaveFromBytes(const std::string& bytes) {
  std::istringstream in(bytes);
  Wave::TWave wave;
  wave.LoadFromStream(in);
  return wave;
}

inline std::string DataOf(const Wave::TWave& wave) {
  return std::string(reinterpret_cast<const char*>(wave.Data()), wave.Size());
}

inline std::string FormatOf(const Wave::TWave& wave) {
  return std::string(wave.FormatBytes().begin(), wave.FormatBytes().end());
}

// A mono 16-bit wave holding the given samples.
inline Wave::TWave PcmWave(std::initializer_list<int16_t> samples) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(44100, 16, 1));
  wave.SetSize(static_cast<int32_t>(samples.size() * 2));
  int i = 0;
  for (int16_t s : samples) {
    wave.Data()[i++] = static_cast<uint8_t>(s & 0xFF);
    wave.Data()[i++] = static_cast<uint8_t>((s >> 8) & 0xFF);
  }
  return wave;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The folder named by the environment variable, else the one the build knew.
inline std::filesystem::path FolderFromEnv(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  return value && *value ? value : fallback;
}

#ifdef KIT_TEST_BUILD_DIR
inline std::filesystem::path BuildDir() {
  return FolderFromEnv("KORVANTO_BUILD_DIR", KIT_TEST_BUILD_DIR);
}
inline std::filesystem::path SourceDir() {
  return FolderFromEnv("KORVANTO_SOURCE_DIR", KIT_TEST_SOURCE_DIR);
}
#endif
