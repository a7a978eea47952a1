#pragma once
// A home folder made as `make run` makes it, current for the test, and the
// command line run in it: pattern and song files written by the test, the
// command's exit code and output, a WAV file's samples.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/Files.h"
#include "support/CommandRun.h"
#include "support/TempDir.h"

namespace command_home {

using Row = std::array<std::string, 6>;

// A pattern file: the grid's rows 0 .. L+2, tempo, loops, 32 slot lines
// (empty unless given), a group every time steps.
inline Lines PatternLines(const std::string& name, int tempo, int loops,
                          const std::vector<Row>& rows, const std::vector<std::string>& slots = {},
                          int time = 4) {
  const int steps = static_cast<int>(rows.size());
  Lines lines{name, "Length:", std::to_string(steps), "Time:", std::to_string(time), "", "", ""};
  for (int c = 1; c <= 6; ++c) lines.push_back("Channel:" + std::to_string(c));
  for (int r = 0; r < steps; ++r) {
    lines.push_back(std::to_string(r + 1));
    lines.insert(lines.end(), rows[r].begin(), rows[r].end());
  }
  for (int c = 0; c < 7; ++c) lines.push_back("");
  lines.push_back(std::to_string(tempo));
  lines.push_back(std::to_string(loops));
  for (std::size_t s = 0; s < 32; ++s) {
    lines.push_back(s < slots.size() ? slots[s] : "Blank.wav");
    lines.push_back("44100");
  }
  return lines;
}

// A song file: the entries, then the given slots' blocks (file, frequency,
// pan), the others blank.
struct SongSlot {
  std::string file = "Blank.wav";
  int frequency = 44100;
  int pan = 0;
};
inline Lines SongLines(const std::vector<std::string>& entries,
                       const std::vector<SongSlot>& slots = {}) {
  Lines lines(entries.begin(), entries.end());
  for (std::size_t n = 1; n <= 32; ++n) {
    const SongSlot slot = n <= slots.size() ? slots[n - 1] : SongSlot{};
    lines.insert(lines.end(), {"<*sam" + std::to_string(n), slot.file,
                               std::to_string(slot.frequency), "//", std::to_string(slot.pan)});
  }
  return lines;
}

// The 16-bit samples of a WAV file as the render writes it (44-byte header).
inline std::vector<std::int16_t> WavSamples(const std::filesystem::path& path) {
  const std::string bytes = ReadFileBytes(path);
  std::vector<std::int16_t> samples((bytes.size() - 44) / 2);
  std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  return samples;
}

class CommandHomeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path build = KORVANTO_TEST_BUILD_DIR;
    const std::filesystem::path source = KORVANTO_TEST_SOURCE_DIR;
    std::filesystem::copy_file(build / "kit" / "power.dxg", home_ / "power.dxg");
    std::filesystem::copy_file(build / "kit" / "Blank.wav", home_ / "Blank.wav");
    std::filesystem::create_directories(home_ / "temp");
    for (const auto& f : std::filesystem::directory_iterator(source / "data" / "demo"))
      std::filesystem::copy_file(f.path(), home_ / f.path().filename());
    WriteTextLines(home_ / "Panning.dat", Lines(17, "0"));
  }
  TempDir home_;
  CurrentDirScope inHome_{home_.path()};
};

}  // namespace command_home
