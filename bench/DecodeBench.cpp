// Decoding sample files to the temp WAV: the speed for a minute of stereo
// FLAC, and the peak memory of a process that decodes a ten-minute file
// (measured in a fresh process of its own, so nothing else counts).
#include <sndfile.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/SndFileDecoder.h"
#include "kit/SoundImport.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;

// A drum-like stereo signal (decaying tones and noise), written in blocks.
void WriteFlac(const fs::path& path, int seconds, int subformat) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_FLAC | subformat;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw std::runtime_error(sf_strerror(nullptr));
  std::minstd_rand random(1);
  std::vector<float> block(2 * kRate / 10);
  for (long f0 = 0; f0 < long(seconds) * kRate; f0 += kRate / 10) {
    for (int f = 0; f < kRate / 10; ++f) {
      const double t = (f0 + f) % (kRate / 2) / double(kRate);
      const double hit = std::exp(-t * 12) * std::sin(2 * M_PI * 90 * t);
      const double noise = (random() / double(random.max()) - 0.5) * std::exp(-t * 30);
      block[2 * f] = float(0.6 * hit + 0.2 * noise);
      block[2 * f + 1] = float(0.5 * hit - 0.25 * noise);
    }
    sf_writef_float(file, block.data(), kRate / 10);
  }
  sf_close(file);
}

double Seconds(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The child: decodes and prints its own peak resident size in MiB.
int DecodeAndReportRss(const char* input, const char* output) {
  SetSoundDecoder(MakeSndFileDecoder());
  ImportSoundFile(input, output);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.1f\n", usage.ru_maxrss / 1024.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--decode-rss") == 0)
    return DecodeAndReportRss(argv[2], argv[3]);

  const fs::path dir = fs::temp_directory_path() / "korvanto-decode-bench";
  fs::create_directories(dir);
  SetSoundDecoder(MakeSndFileDecoder());

  const fs::path minute = dir / "minute.flac";
  WriteFlac(minute, 60, SF_FORMAT_PCM_16);
  std::vector<double> factors;
  for (int run = 0; run < 7; ++run)
    factors.push_back(60.0 / Seconds([&] { ImportSoundFile(minute.string(), dir / "out.wav"); }));
  std::sort(factors.begin(), factors.end());
  std::printf("# decode 60 s stereo FLAC, 7 runs: min %.0f median %.0f max %.0f x realtime\n",
              factors.front(), factors[3], factors.back());
  std::printf("BENCH decode_flac_x_realtime %.0f x\n", factors[3]);
  std::fflush(stdout);

  const fs::path tenMinutes = dir / "ten-minutes.flac";
  WriteFlac(tenMinutes, 600, SF_FORMAT_PCM_24);
  const std::string command = fs::read_symlink("/proc/self/exe").string() + " --decode-rss " +
                              tenMinutes.string() + " " + (dir / "ten-minutes.wav").string();
  double rss = -1;
  if (FILE* child = ::popen(command.c_str(), "r")) {
    if (std::fscanf(child, "%lf", &rss) != 1) rss = -1;
    ::pclose(child);
  }
  std::printf(
      "# peak resident size of a process decoding a 10-minute 24-bit stereo FLAC (%.0f MiB"
      " of WAV)\n",
      fs::file_size(dir / "ten-minutes.wav") / 1048576.0);
  std::printf("BENCH decode_peak_rss_mib %.1f MiB\n", rss);
  if (!std::getenv("KEEP")) fs::remove_all(dir);
  return 0;
}
