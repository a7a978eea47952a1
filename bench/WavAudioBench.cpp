// Mixing speed of the wave buffer: a one-second 44100 Hz stereo hit mixed
// many times into file storage, hits a quarter second apart so they overlap.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "render/wavaudio.h"
#include "render/wavaudioBySample.h"
#include "render/wavaudioVoice.h"

namespace fs = std::filesystem;
using wavaudio::TWave;

namespace {

constexpr int kHitFrames = 44100;
constexpr double kSpacing = 0.25;

void MakeHit(TWave& hit) {
  for (int f = 0; f < kHitFrames; ++f) {
    const int v =
        static_cast<int>(20000.0 * (1.0 - f / double(kHitFrames)) * ((f * 37) % 200 - 100) / 100.0);
    hit.SetSample(0, f, v);
    hit.SetSample(1, f, -v / 2);
  }
}

// Seconds for one run of `hits` hits into a fresh backing file, or into one
// that already holds a first pass (as the passes after the first instrument).
double TimeRun(const fs::path& dir, int hits, const std::function<void(TWave&, int)>& mix,
               bool secondPass) {
  TWave out;
  out.FileName = dir / "work.tmp";
  out.SetUseFile(true);
  if (secondPass) {
    for (int i = 0; i < hits; ++i) mix(out, i);
    out.FlushWindow();
  }
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < hits; ++i) mix(out, i);
  out.FlushWindow();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

// Median of several runs, as million source frames mixed per second.
double Rate(const fs::path& dir, int hits, int runs, const std::function<void(TWave&, int)>& mix,
            bool secondPass = false) {
  std::vector<double> rates;
  for (int r = 0; r < runs; ++r)
    rates.push_back(hits * double(kHitFrames) / TimeRun(dir, hits, mix, secondPass) / 1e6);
  std::sort(rates.begin(), rates.end());
  std::printf("# runs %d: min %.2f median %.2f max %.2f\n", runs, rates.front(),
              rates[rates.size() / 2], rates.back());
  return rates[rates.size() / 2];
}

}  // namespace

int main() {
  const fs::path dir =
      fs::temp_directory_path() / ("korvanto-bench-wavaudio-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  TWave hit;
  MakeHit(hit);

  const double perHit = Rate(
      dir, 400, 5, [&](TWave& out, int i) { out.MixWave(&hit, 44100, 0.875, 0.25, i * kSpacing); });
  std::printf("BENCH wavaudio_mix_mframes_per_s %.2f Mframes/s\n", perHit);
  const double again = Rate(
      dir, 400, 5, [&](TWave& out, int i) { out.MixWave(&hit, 44100, 0.875, 0.25, i * kSpacing); },
      true);
  std::printf("BENCH wavaudio_mix_second_pass_mframes_per_s %.2f Mframes/s\n", again);

  const wavaudio::MixVoice voice(hit, 44100, 0.875, 0.25, TWave().Format);
  const double kept = Rate(
      dir, 400, 5, [&](TWave& out, int i) { out.AddVoice(voice, out.MixOffset(i * kSpacing)); });
  std::printf("BENCH wavaudio_mix_kept_window_mframes_per_s %.2f Mframes/s\n", kept);

  const wavaudio::MixVoice resampled(hit, 33075, 0.875, 0.25, TWave().Format);
  const double pitched = Rate(dir, 400, 5, [&](TWave& out, int i) {
    out.AddVoice(resampled, out.MixOffset(i * kSpacing));
  });
  std::printf("BENCH wavaudio_mix_resampled_kept_window_mframes_per_s %.2f Mframes/s\n", pitched);

  const double bySample = Rate(dir, 10, 1, [&](TWave& out, int i) {
    wavaudio::MixWaveBySample(out, &hit, 44100, 0.875, 0.25, i * kSpacing);
  });
  std::printf("BENCH wavaudio_mix_by_sample_mframes_per_s %.3f Mframes/s\n", bySample);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("BENCH wavaudio_mix_peak_rss_mib %.1f MiB\n", usage.ru_maxrss / 1024.0);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return 0;
}
