// Rendering speed and memory of the command-line render: a 32-minute song of
// one pattern played 1000 times, and a 3-minute song using the whole default
// kit and four sample slots at other rates and pans; the 32-minute song
// again with 50 % swing, then with humanize on as well, against the plain one. Each render runs in a
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
#include "bench/BenchSongs.h"

namespace fs = std::filesystem;

namespace {

using bench_songs::MakeHome;

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

// The song again with 50 % swing and humanize on.
void WriteGroovedCopy(const fs::path& from, const fs::path& to, const std::string& groove) {
  Lines lines = ReadTextLines(from);
  lines.push_back(groove);
  WriteTextLines(to, lines);
}

// The swung song's speed, and its ratio to the plain one's, each swung run
// right after a plain one so the machine's load weighs on both alike.
void ReportGroove(const fs::path& home, const std::string& plainSong, const std::string& swungSong,
                  const std::string& name) {
  std::vector<double> speeds, ratios;
  for (int run = 0; run < 7; ++run) {
    const Measure plain = RenderOnce(home, plainSong);
    const Measure swung = RenderOnce(home, swungSong);
    if (plain.songSeconds <= 0 || swung.songSeconds <= 0) return;
    speeds.push_back(swung.songSeconds / swung.seconds);
    ratios.push_back((swung.songSeconds / swung.seconds) / (plain.songSeconds / plain.seconds));
  }
  std::sort(speeds.begin(), speeds.end());
  std::sort(ratios.begin(), ratios.end());
  std::printf("# %s against %s: 7 runs each, in turn\n", swungSong.c_str(), plainSong.c_str());
  std::printf("BENCH %s_render_x_realtime %.0f x\n", name.c_str(), speeds[3]);
  std::printf("BENCH %s_render_x_realtime_min %.0f x\n", name.c_str(), speeds.front());
  std::printf("BENCH %s_render_x_realtime_max %.0f x\n", name.c_str(), speeds.back());
  std::printf("BENCH %s_render_vs_plain %.2f ratio\n", name.c_str(), ratios[3]);
}

}  // namespace

int main() {
  const fs::path home = MakeHome("render");
  const char* program = std::getenv("KORVANTO_BENCH_PROGRAM");
  std::printf("# rendering through %s\n", program ? program : "RunCommandLine in a child process");
  Report(home, "Long.sng", "render_long_xrealtime", true);
  // Swing alone, then swing with humanize timing and loudness.
  WriteGroovedCopy(home / "Long.sng", home / "LongSwing.sng", "<*groove 50 0 0 12345");
  ReportGroove(home, "Long.sng", "LongSwing.sng", "swing");
  WriteGroovedCopy(home / "Long.sng", home / "LongGroove.sng", "<*groove 50 10 30 12345");
  ReportGroove(home, "Long.sng", "LongGroove.sng", "groove");
  Report(home, "All.sng", "render_full_kit_xrealtime", true);
  std::error_code ignored;
  if (!std::getenv("KORVANTO_BENCH_KEEP_HOME")) fs::remove_all(home, ignored);
  return 0;
}
