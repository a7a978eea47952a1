// Rendering speed and memory of the command-line render: a 32-minute song of
// one pattern played 1000 times, and a 3-minute song using the whole default
// kit and four sample slots at other rates and pans. Each render runs in a
// child process calling the command line's own entry (RunCommandLine), so
// its peak resident memory is its own; KORVANTO_BENCH_PROGRAM names a
// program to run instead (e.g. the built korvanto).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "common/Files.h"
#include "kit/Wave.h"

namespace fs = std::filesystem;

namespace {

using Row = std::vector<std::string>;  // six cells

Lines PatternLines(const std::string& name, int tempo, const std::vector<Row>& rows) {
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
void WriteSong(const fs::path& path, const std::string& pattern, int times,
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

void WriteSample(const fs::path& path, int frames, double period) {
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

fs::path MakeHome() {
  const fs::path home =
      fs::temp_directory_path() / ("korvanto-bench-render-" + std::to_string(::getpid()));
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
  WriteSong(home / "All.sng", "All", 94,
            {{(h / "s1.wav").string(), 30000, -2500},
             {(h / "s2.wav").string(), 22050, 3000},
             {(h / "s3.wav").string(), 52000, -700},
             {(h / "s4.wav").string(), 61000, 4000}});
  return home;
}

struct Measure {
  double seconds = 0;
  double rssMib = 0;
  double songSeconds = 0;
};

Measure RenderOnce(const fs::path& home, const std::string& song) {
  const char* program = std::getenv("KORVANTO_BENCH_PROGRAM");
  const auto start = std::chrono::steady_clock::now();
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(home.c_str()) != 0) ::_exit(9);
    if (!::freopen("/dev/null", "w", stdout)) ::_exit(9);
    if (program) {
      ::execl(program, program, "render", song.c_str(), "out.wav", static_cast<char*>(nullptr));
      ::_exit(8);
    }
    std::string a0 = "korvanto", a1 = "render", a3 = "out.wav";
    std::string a2 = song;
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), nullptr};
    bool handled = false;
    const int code = RunCommandLine(4, argv, handled);
    std::fflush(nullptr);
    ::_exit(code);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  Measure m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.rssMib = usage.ru_maxrss / 1024.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::printf("# render of %s failed (status %d)\n", song.c_str(), status);
    return m;
  }
  m.songSeconds = (double(fs::file_size(home / "out.wav")) - 44) / 176400.0;
  return m;
}

void Report(const fs::path& home, const std::string& song, const std::string& name,
            bool withMemory) {
  std::vector<double> speeds, rss;
  double songSeconds = 0;
  for (int run = 0; run < 5; ++run) {
    const Measure m = RenderOnce(home, song);
    if (m.songSeconds <= 0) return;
    songSeconds = m.songSeconds;
    speeds.push_back(m.songSeconds / m.seconds);
    rss.push_back(m.rssMib);
  }
  std::sort(speeds.begin(), speeds.end());
  std::sort(rss.begin(), rss.end());
  std::printf("# %s: %.1f s of song, 5 runs\n", song.c_str(), songSeconds);
  std::printf("BENCH %s %.0f x\n", name.c_str(), speeds[2]);
  std::printf("BENCH %s_min %.0f x\n", name.c_str(), speeds.front());
  std::printf("BENCH %s_max %.0f x\n", name.c_str(), speeds.back());
  if (withMemory) {
    const std::string base = name.substr(0, name.rfind("_xrealtime"));
    std::printf("BENCH %s_peak_rss_mib %.1f MiB\n", base.c_str(), rss[2]);
    std::printf("BENCH %s_peak_rss_mib_min %.1f MiB\n", base.c_str(), rss.front());
    std::printf("BENCH %s_peak_rss_mib_max %.1f MiB\n", base.c_str(), rss.back());
  }
}

}  // namespace

int main() {
  const fs::path home = MakeHome();
  const char* program = std::getenv("KORVANTO_BENCH_PROGRAM");
  std::printf("# rendering through %s\n", program ? program : "RunCommandLine in a child process");
  Report(home, "Long.sng", "render_long_xrealtime", true);
  Report(home, "All.sng", "render_full_kit_xrealtime", true);
  std::error_code ignored;
  if (!std::getenv("KORVANTO_BENCH_KEEP_HOME")) fs::remove_all(home, ignored);
  return 0;
}
