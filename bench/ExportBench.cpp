// The exports of a 32-minute song using the whole default kit and four
// sample slots: its stems (x realtime, beside the plain render of the same
// song and the speed at which this machine merely writes that many bytes)
// and its MIDI file (milliseconds, kit loading and compiling included). Each
// command runs through the command line's own entry in the home folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

#include "app/CommandLine.h"
#include "bench/BenchSongs.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 3;

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Korvanto(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  bool handled = false;
  const int code = RunCommandLine(args, out, err, false, handled);
  if (code != 0) std::printf("# korvanto %s failed: %s", args[0].c_str(), err.str().c_str());
  return code == 0;
}

struct Figures {
  double median = 0, min = 0, max = 0;
};

Figures Summary(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.front(), values.back()};
}

void Print(const char* name, const Figures& f, const char* unit) {
  std::printf("BENCH %s %.0f %s\n", name, f.median, unit);
  std::printf("BENCH %s_min %.0f %s\n", name, f.min, unit);
  std::printf("BENCH %s_max %.0f %s\n", name, f.max, unit);
}

// Writes as many bytes as the stems hold, a MiB at a time, into as many
// files: how fast the folder takes them at all.
double WriteFloorSeconds(const fs::path& folder, std::uintmax_t bytes, std::size_t files) {
  fs::create_directories(folder);
  const std::vector<char> block(1 << 20, 0);
  const double seconds = Seconds([&] {
    for (std::size_t f = 0; f < files; ++f) {
      std::FILE* out = std::fopen((folder / std::to_string(f)).c_str(), "wb");
      if (!out) return;
      for (std::uintmax_t left = bytes / files; left > 0;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uintmax_t>(left, block.size()));
        std::fwrite(block.data(), 1, n, out);
        left -= n;
      }
      std::fclose(out);
    }
  });
  fs::remove_all(folder);
  return seconds;
}

}  // namespace

int main() {
  const fs::path home = bench_songs::MakeHome("export");
  const fs::path started = fs::current_path();
  fs::current_path(home);
  double songSeconds = 0;
  std::vector<double> full, stems, floor, midi;
  std::uintmax_t stemBytes = 0;
  std::size_t stemFiles = 0;
  for (int run = 0; run < kRuns; ++run) {
    const double f = Seconds([] { Korvanto({"render", "All32.sng", "full.wav"}); });
    songSeconds = (double(fs::file_size(home / "full.wav")) - 44) / 176400.0;
    fs::remove(home / "full.wav");
    full.push_back(songSeconds / f);
    const double s = Seconds([] { Korvanto({"render", "All32.sng", "--stems", "stems"}); });
    stems.push_back(songSeconds / s);
    stemBytes = 0;
    stemFiles = 0;
    for (const auto& entry : fs::directory_iterator(home / "stems")) {
      stemBytes += entry.file_size();
      ++stemFiles;
    }
    fs::remove_all(home / "stems");
  }
  floor.push_back(songSeconds / WriteFloorSeconds(home / "floor", stemBytes, stemFiles));
  for (int run = 0; run < 5; ++run)
    midi.push_back(1000 * Seconds([] { Korvanto({"midi", "All32.sng", "all.mid"}); }));

  std::printf("# All32.sng: %.1f s of song, %zu stems of %.0f MiB in all, %d runs\n", songSeconds,
              stemFiles, double(stemBytes) / (1 << 20), kRuns);
  Print("stems_x_realtime", Summary(stems), "x");
  Print("stems_full_render_x_realtime", Summary(full), "x");
  std::printf("BENCH stems_write_floor_x_realtime %.0f x\n", floor[0]);
  std::printf("BENCH stems_vs_full_render %.2f ratio\n",
              Summary(stems).median / Summary(full).median);
  std::printf("BENCH midi_export_ms %.1f ms\n", Summary(midi).median);
  std::printf("BENCH midi_export_ms_min %.1f ms\n", Summary(midi).min);
  std::printf("BENCH midi_export_ms_max %.1f ms\n", Summary(midi).max);
  fs::current_path(started);
  std::error_code ignored;
  if (!std::getenv("KORVANTO_BENCH_KEEP_HOME")) fs::remove_all(home, ignored);
  return 0;
}
