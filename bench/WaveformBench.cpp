// A 10-minute stereo 16-bit sound drawn by the waveform view into an image of
// a window's size: the first draw (peaks computed from the samples in
// memory, or read from its WAV file), a redraw, and a draw at a new width.
// Each figure is the median of several runs; the first draw is also given
// in CPU time, which a busy machine doesn't stretch.
// Usage: bench_waveform [minutes, default 10]
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

#include "kit/Wave.h"
#include "kit/WaveformCache.h"
#include "kit/WaveformSource.h"
#include "kit/WaveformView.h"

namespace {

using Clock = std::chrono::steady_clock;

Wave::TWave LongSound(int minutes) {
  constexpr uint32_t kRate = 44100;
  const int64_t frames = int64_t{minutes} * 60 * kRate;
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(kRate, 16, 2));
  wave.SetSize(static_cast<int32_t>(frames * 4));
  auto* samples = reinterpret_cast<int16_t*>(wave.Data());
  // Hits every half second that decay, as a drum loop does.
  uint32_t noise = 1;
  for (int64_t f = 0; f < frames; ++f) {
    noise = noise * 1664525u + 1013904223u;
    const double decay = 1.0 - static_cast<double>(f % (kRate / 2)) / (kRate / 2);
    const auto v = static_cast<int16_t>((static_cast<int32_t>(noise >> 16) - 32768) * decay);
    samples[2 * f] = v;
    samples[2 * f + 1] = static_cast<int16_t>(v / 2);
  }
  return wave;
}

double Milliseconds(const std::function<void()>& run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double CpuMilliseconds(const std::function<void()>& run) {
  const std::clock_t start = std::clock();
  run();
  return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const Wave::TWave sound = LongSound(minutes);
  const auto file = std::filesystem::temp_directory_path() / "korvanto-waveform-bench.wav";
  sound.SaveToFile(file);

  WaveformView view;
  view.resize(1200, 160);
  QImage image(view.size(), QImage::Format_RGB32);
  constexpr int kRuns = 7;
  std::vector<double> first, firstCpu, fromFile, redraw, newWidth;
  for (int run = 0; run < kRuns; ++run) {
    WaveformCache cache;
    first.push_back(Milliseconds([&] {
      view.SetPeaks(WaveformOf(cache, sound));
      view.render(&image);
    }));
    WaveformCache again;
    firstCpu.push_back(CpuMilliseconds([&] {
      view.SetPeaks(WaveformOf(again, sound));
      view.render(&image);
    }));
    redraw.push_back(Milliseconds([&] { view.render(&image); }));
    view.resize(run % 2 ? 1200 : 900, 160);
    QImage resized(view.size(), QImage::Format_RGB32);
    newWidth.push_back(Milliseconds([&] { view.render(&resized); }));
    WaveformCache fileCache;
    fromFile.push_back(Milliseconds([&] {
      view.SetPeaks(WaveformOfFile(fileCache, file));
      view.render(&resized);
    }));
  }
  std::filesystem::remove(file);
  std::printf("BENCH waveform_draw_ms %.2f ms\n", Median(first));
  std::printf("BENCH waveform_draw_cpu_ms %.2f ms\n", Median(firstCpu));
  std::printf("BENCH waveform_redraw_ms %.2f ms\n", Median(redraw));
  std::printf("BENCH waveform_new_width_draw_ms %.2f ms\n", Median(newWidth));
  std::printf("BENCH waveform_file_draw_ms %.2f ms\n", Median(fromFile));
  return 0;
}
