// Loudness of the demo song as the command line renders it with the default
// kit: its peak in dBFS and how many samples hit full scale. A render that
// clips is heard as distortion; the kit's levels are staged to avoid it.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/CommandLine.h"
#include "common/Files.h"

namespace fs = std::filesystem;

namespace {

fs::path MakeHome() {
  const fs::path home =
      fs::temp_directory_path() / ("korvanto-bench-demo-" + std::to_string(::getpid()));
  fs::remove_all(home);
  fs::create_directories(home / "temp");
  for (const auto& entry : fs::directory_iterator(KORVANTO_DEMO_DIR))
    fs::copy_file(entry.path(), home / entry.path().filename());
  const fs::path kit = KORVANTO_BUILD_KIT;
  fs::copy_file(kit / "power.dxg", home / "power.dxg");
  fs::copy_file(kit / "Blank.wav", home / "Blank.wav");
  return home;
}

bool Render(const fs::path& home) {
  const fs::path previous = fs::current_path();
  fs::current_path(home);
  std::string a0 = "korvanto", a1 = "render", a2 = "Demo.sng", a3 = "demo.wav";
  char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), nullptr};
  bool handled = false;
  const int code = RunCommandLine(4, argv, handled);
  fs::current_path(previous);
  return code == 0;
}

}  // namespace

int main() {
  const fs::path home = MakeHome();
  if (!Render(home)) {
    std::fprintf(stderr, "# the demo song did not render\n");
    return 1;
  }
  const std::string wav = ReadFileBytes(home / "demo.wav");
  int peak = 0;
  long clipped = 0;
  // The render's data follows its 44-byte header: 16-bit stereo.
  for (size_t at = 44; at + 1 < wav.size(); at += 2) {
    int16_t sample;
    std::memcpy(&sample, wav.data() + at, 2);
    const int level = std::abs(int{sample});
    peak = std::max(peak, level);
    if (level >= 32767) ++clipped;
  }
  std::printf("# Demo.sng: %.1f s\n", (wav.size() - 44) / 176400.0);
  std::printf("BENCH demo_render_peak_dbfs %.2f dBFS\n",
              20 * std::log10(std::max(peak, 1) / 32768.0));
  std::printf("BENCH demo_render_clipped_samples %ld samples\n", clipped);
  std::error_code ignored;
  fs::remove_all(home, ignored);
  return 0;
}
