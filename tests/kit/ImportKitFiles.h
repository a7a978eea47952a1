#pragma once
// Small kits of other programs, made by the tests: sound files with known
// samples, text files, and reading a kit entry's samples back.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kit/WaveCollection.h"
#include "support/SoundFiles.h"

namespace import_kits {

// frames samples from start, stepping by step: each file gets its own.
inline std::vector<int16_t> Ramp(int frames, int start, int step) {
  std::vector<int16_t> samples;
  for (int i = 0; i < frames; ++i) samples.push_back(static_cast<int16_t>(start + i * step));
  return samples;
}

inline void WriteMono(const std::filesystem::path& path, const std::vector<int16_t>& samples,
                      int format = sound_files::kWav16) {
  std::filesystem::create_directories(path.parent_path());
  sound_files::WriteSound(path, format, 44100, 1, sound_files::Widen(samples));
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<int16_t> SamplesOf(const Wave::TWave& wave) {
  std::vector<int16_t> samples(static_cast<std::size_t>(wave.Size() / 2));
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(wave.Data()[2 * i] | wave.Data()[2 * i + 1] << 8);
  return samples;
}

// Names and samples of a kit file's entries 1 .. N.
struct KitContent {
  std::vector<std::string> names;
  std::vector<std::vector<int16_t>> samples;
};

inline KitContent ReadKit(const std::filesystem::path& file) {
  TWaveCollection kit;
  kit.LoadFromFile(file);
  KitContent content;
  for (int i = 1; i < kit.Count(); ++i) {
    content.names.push_back(kit[i].Name());
    content.samples.push_back(SamplesOf(kit[i].Wave()));
  }
  return content;
}

inline std::vector<int16_t> Scaled(const std::vector<int16_t>& samples, double gain) {
  std::vector<int16_t> out;
  for (int16_t s : samples) out.push_back(static_cast<int16_t>(std::lrint(s * gain)));
  return out;
}

}  // namespace import_kits
