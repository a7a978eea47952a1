// Onset timing and underruns with the capture output paced in real time.
// Usage: bench_sound_timing [seconds of the underrun run, default 60]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/ManualUiThread.h"
#include "kit/CaptureOutput.h"
#include "kit/DXWaveList.h"
#include "kit/Wave.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr int kRate = 48000;

Wave::TWave MakeWave(const std::vector<int16_t>& samples) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(kRate, 16, 2));
  wave.SetSize(static_cast<int32_t>(samples.size() * 2));
  std::memcpy(wave.Data(), samples.data(), samples.size() * 2);
  return wave;
}

std::shared_ptr<CaptureTape> PacedTape() {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = 240;
  settings.pacing = CaptureTape::Pacing::RealTime;
  return std::make_shared<CaptureTape>(settings);
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

void OnsetTiming() {
  auto tape = PacedTape();
  tape->Reserve(20 * kRate);
  SetAudioOutputFactory(CaptureFactory(tape));
  ManualUiThread ui;
  SoundWindow window;
  TDXSound sound(&window);
  sound.Initialize();
  TDXWaveList kit(ui);
  std::vector<int16_t> click(2 * 16, 0);
  click[0] = click[1] = 16384;
  kit.Items.Add();
  kit.Items.Add().SetWave(MakeWave(click));
  kit.SetDXSound(&sound);
  const auto latency = sound.DSound()->mixer().TriggerLatency();

  std::this_thread::sleep_for(500ms);  // the clock settles
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> gapUs(20000, 70000);
  std::vector<Clock::time_point> calls;
  auto next = Clock::now() + 10ms;
  for (int i = 0; i < 200; ++i) {
    next += std::chrono::microseconds(gapUs(random));
    std::this_thread::sleep_until(next);
    calls.push_back(Clock::now());
    kit.Play(1);
    ui.ProcessPending();
  }
  std::this_thread::sleep_for(100ms);
  const int64_t late = sound.DSound()->mixer().LateStarts();
  const auto start = tape->StartTime();
  sound.Finalize();

  const std::vector<float> samples = tape->Samples();
  std::vector<double> errors;  // frames
  size_t from = 0;
  for (const auto call : calls) {
    size_t onset = from;
    while (onset < samples.size() / 2 && samples[2 * onset] == 0.0f) ++onset;
    if (onset >= samples.size() / 2) break;
    const double expected = std::chrono::duration<double>(call + latency - start).count() * kRate;
    errors.push_back(static_cast<double>(onset) - expected);
    from = onset + 16;
  }
  if (errors.size() != calls.size())
    std::printf("onsets found: %zu of %zu\n", errors.size(), calls.size());
  if (std::getenv("KORVANTO_BENCH_VERBOSE"))
    for (size_t i = 0; i < errors.size(); ++i)
      std::printf("onset %zu error %.2f frames\n", i, errors[i]);
  // The constant part is the output's own delay, the same for every onset.
  const double offset = Percentile(errors, 0.5);
  std::vector<double> deviation;
  for (double e : errors) deviation.push_back(std::abs(e - offset));
  const double raw = std::abs(*std::max_element(
      errors.begin(), errors.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
  std::printf("trigger latency %.3f ms, onsets %zu, late starts %lld\n",
              std::chrono::duration<double, std::milli>(latency).count(), errors.size(),
              static_cast<long long>(late));
  std::printf("BENCH onset_offset_ms %.4f ms\n", offset * 1000.0 / kRate);
  std::printf("BENCH onset_error_raw_max_ms %.4f ms\n", raw * 1000.0 / kRate);
  std::printf("BENCH onset_error_p50_frames %.2f frames\n", Percentile(deviation, 0.5));
  std::printf("BENCH onset_error_p99_frames %.2f frames\n", Percentile(deviation, 0.99));
  std::printf("BENCH onset_error_max_frames %.2f frames\n", Percentile(deviation, 1.0));
  std::printf("BENCH onset_error_p99_ms %.4f ms\n", Percentile(deviation, 0.99) * 1000.0 / kRate);
  std::printf("BENCH onset_error_max_ms %.4f ms\n", Percentile(deviation, 1.0) * 1000.0 / kRate);
}

void Underruns(int seconds) {
  auto tape = PacedTape();
  SetAudioOutputFactory(CaptureFactory(tape));
  ManualUiThread ui;
  SoundWindow window;
  TDXSound sound(&window);
  sound.Initialize();
  TDXWaveList kit(ui);
  // 32 sounds of 60 ms each, so retriggers every 10 ms overlap.
  for (int i = 0; i < 32; ++i) {
    std::vector<int16_t> s(2 * kRate * 60 / 1000);
    for (size_t k = 0; k < s.size(); ++k)
      s[k] = static_cast<int16_t>(2000 * std::sin(0.01 * (i + 1) * static_cast<double>(k)));
    kit.Items.Add().SetWave(MakeWave(s));
  }
  kit.SetDXSound(&sound);
  std::atomic<bool> done{false};
  std::thread load([&] {
    volatile double x = 1;
    while (!done.load(std::memory_order_relaxed)) x = x * 1.0000001 + 1e-9;
  });
  auto next = Clock::now();
  const auto end = next + std::chrono::seconds(seconds);
  int64_t triggers = 0;
  while (next < end) {
    next += 10ms;
    std::this_thread::sleep_until(next);
    for (int i = 0; i < 32; ++i) {
      kit.Items[i].Pan = (i - 16) * 100;
      kit.Play(i);
      ++triggers;
    }
    ui.ProcessPending();  // the sweep
  }
  done = true;
  load.join();
  Mixer& mixer = sound.DSound()->mixer();
  std::printf("underrun run: %d s, %lld triggers, %lld frames, peak duplicates %d\n", seconds,
              static_cast<long long>(triggers), static_cast<long long>(mixer.FramesRendered()),
              kit.PlayingCount());
  std::printf("BENCH underruns %lld count\n", static_cast<long long>(mixer.Underruns()));
  std::printf("BENCH underruns_late_callbacks %lld count\n",
              static_cast<long long>(mixer.LateCallbacks()));
  std::printf("BENCH underruns_slow_renders %lld count\n",
              static_cast<long long>(mixer.SlowRenders()));
  sound.Finalize();
}

}  // namespace

// Timing figures mean little on a busy machine: say how busy it was.
void PrintLoad(const char* when) {
  std::ifstream in("/proc/loadavg");
  std::string load;
  if (std::getline(in, load)) std::printf("load average %s: %s\n", when, load.c_str());
}

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  PrintLoad("before");
  OnsetTiming();
  Underruns(seconds);
  PrintLoad("after");
  return 0;
}
