#pragma once
// The benchmarks' home folder: the default kit the build synthesises, a
// panning table, and songs of the length and breadth the figures ask for:
// Long.sng (one pattern played 1000 times, 32 minutes), All.sng (every kit
// instrument and four sample slots at other rates and pans, 3 minutes) and
// All32.sng (the same pattern 1000 times, 32 minutes).
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "common/Files.h"
#include "kit/Wave.h"

namespace bench_songs {

namespace fs = std::filesystem;

using Row = std::vector<std::string>;  // six cells

inline Lines PatternLines(const std::string& name, int tempo, const std::vector<Row>& rows) {
  Lines lines{name, "Length:", std::to_string(rows.size()), "Time:", "4", "", "", ""};
  for (int c = 1; c <= 6; ++c) lines.push_back("Channel:" + std::to_string(c));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    lines.push_back(std::to_string(r + 1));
    lines.insert(lines.end(), rows[r].begin(), rows[r].end());
  }
  for (int c = 0; c < 7; ++c) lines.push_back("");
  lines.push_back(std::to_string(tempo));
  lines.push_back("1");
  for (int s = 0; s < 32; ++s) {
    lines.push_back("Blank.wav");
    lines.push_back("44100");
  }
  return lines;
}

// A song of one pattern played `times` times; slots as given (file,
// frequency, pan), the rest blank.
inline void WriteSong(const fs::path& path, const std::string& pattern, int times,
                      const std::vector<std::tuple<std::string, int, int>>& slots) {
  Lines lines(times, pattern);
  for (int n = 1; n <= 32; ++n) {
    lines.push_back("<*sam" + std::to_string(n));
    const bool used = n <= static_cast<int>(slots.size());
    lines.push_back(used ? std::get<0>(slots[n - 1]) : "Blank.wav");
    lines.push_back(std::to_string(used ? std::get<1>(slots[n - 1]) : 44100));
    lines.push_back("//");
    lines.push_back(std::to_string(used ? std::get<2>(slots[n - 1]) : 0));
  }
  WriteTextLines(path, lines);
}

inline void WriteSample(const fs::path& path, int frames, double period) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(44100, 16, 1));
  std::vector<std::int16_t> samples(frames);
  for (int f = 0; f < frames; ++f)
    samples[f] = static_cast<std::int16_t>(16000.0 * (1.0 - double(f) / frames) *
                                           ((f % int(period)) < period / 2 ? 1 : -1));
  wave.SetSize(frames * 2);
  std::memcpy(wave.Data(), samples.data(), samples.size() * 2);
  wave.SaveToFile(path);
}

inline fs::path MakeHome(const std::string& name) {
  const fs::path home =
      fs::temp_directory_path() / ("korvanto-bench-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(home);
  fs::create_directories(home / "temp");
  const fs::path kit = KORVANTO_BUILD_KIT;
  fs::copy_file(kit / "power.dxg", home / "power.dxg");
  fs::copy_file(kit / "Blank.wav", home / "Blank.wav");
  Lines pans{"0", "0", "0", "-300", "800", "-1200", "1500", "-500", "0",
             "0", "0", "0", "0",    "0",   "0",     "0",    "0"};
  WriteTextLines(home / "Panning.dat", pans);

  // Kick, snare, "Crack", closed and open hat and a tom, 16 steps at 60.
  std::vector<Row> rows(16, Row(6));
  for (int r = 0; r < 16; ++r) {
    if (r % 4 == 0) rows[r][0] = "Kick      [ ]";
    if (r % 8 == 4) rows[r][1] = "Snare     [2]";
    if (r == 12) rows[r][2] = "Crack     [ ]";
    if (r % 2 == 0) rows[r][3] = "ClsHiat   [" + std::to_string(r % 4 ? 5 : 3) + "]";
    if (r == 14) rows[r][4] = "OpHiat    [4]";
    if (r == 15 || r == 7) rows[r][5] = "Tom1      [ ]";
  }
  WriteTextLines(home / "Long.pat", PatternLines("Long", 60, rows));
  WriteSong(home / "Long.sng", "Long", 1000, {});

  // Every kit instrument and Sample1 .. Sample4.
  const char* kit16[] = {"Kick      [ ]", "Short Kick[ ]", "Snare     [ ]", "ClsHiat   [ ]",
                         "OpHiat    [ ]", "Tom1      [ ]", "Tom2      [ ]", "Cymbol1   [ ]",
                         "Cymbol2   [ ]", "Rimshot   [ ]", "Shaker    [ ]", "Block     [ ]",
                         "Congo     [ ]", "Cowbell   [ ]", "Crack     [ ]", "Tamb      [ ]"};
  std::vector<Row> all(16, Row(6));
  for (int r = 0; r < 16; ++r) {
    all[r][0] = kit16[r];
    all[r][1] = kit16[(r * 5 + 3) % 16];
    if (r % 2 == 0) all[r][2] = kit16[(r + 7) % 16];
    if (r % 4 == 1) all[r][3] = "Sample" + std::to_string(1 + r / 4);
    if (r % 4 == 3) all[r][4] = "Sample" + std::to_string(4 - r / 4);
  }
  WriteTextLines(home / "All.pat", PatternLines("All", 60, all));
  for (int s = 1; s <= 4; ++s)
    WriteSample(home / ("s" + std::to_string(s) + ".wav"), 30000 + 9000 * s, 40 + 30 * s);
  const fs::path h = home;
  const std::vector<std::tuple<std::string, int, int>> slots{
      {(h / "s1.wav").string(), 30000, -2500},
      {(h / "s2.wav").string(), 22050, 3000},
      {(h / "s3.wav").string(), 52000, -700},
      {(h / "s4.wav").string(), 61000, 4000}};
  WriteSong(home / "All.sng", "All", 94, slots);
  WriteSong(home / "All32.sng", "All", 1000, slots);
  return home;
}

}  // namespace bench_songs
