// The playhead against the sound: the pattern player plays a kick on every
// 120 ms step into the capture output paced in real time, and the window's
// reading is made as the main window makes it, every 16 ms on the UI thread.
// For each step: from the moment its sound starts (found in the recording)
// to the first reading that shows its row.
// Usage: bench_playhead [seconds, default 20]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "bench/KickPattern.h"
#include "kit/CaptureOutput.h"

namespace {

using namespace std::chrono_literals;
using namespace kickbench;
using Clock = std::chrono::steady_clock;

struct Reading {
  Clock::time_point at;
  int64_t row;    // -1: none shown
  int64_t heard;  // the frame the player says is heard
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  auto tape = RealTimeTape(seconds);
  std::vector<Reading> readings;
  {
    KickRig rig;
    rig.ui.PumpFor(1000ms);  // the output clock settles
    rig.Start();
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
      rig.ui.PumpFor(16ms);
      const auto now = Clock::now();
      const auto shown = rig.engine.SoundingAt(now);
      const auto heard = rig.sound.HeardFrame(now);
      readings.push_back({now, shown ? shown->where : -1, heard.value_or(-1)});
    }
    rig.Stop();
    rig.ui.PumpFor(100ms);
  }
  SetAudioOutputFactory(nullptr);

  // Rows repeat: step k of the recording is row 2 + k % 16.
  const std::vector<size_t> onsets = Onsets(tape->Samples());
  const Clock::time_point start = tape->StartTime();
  auto soundTime = [&](double frame) {
    return start + std::chrono::duration_cast<Clock::duration>(
                       std::chrono::duration<double>(frame / kRate));
  };
  std::vector<double> lags, positionErrors;
  size_t reading = 0;
  for (size_t k = 0; k < onsets.size(); ++k) {
    const auto sounds = soundTime(static_cast<double>(onsets[k]));
    const int64_t row = 2 + static_cast<int64_t>(k % kSteps);
    while (reading < readings.size() && readings[reading].at < sounds) ++reading;
    // Shown already before its sound (early), or first shown at a reading after it.
    size_t first = reading;
    while (first < readings.size() && readings[first].row != row &&
           readings[first].at < sounds + 100ms)
      ++first;
    if (first >= readings.size() || readings[first].row != row) continue;
    lags.push_back(std::chrono::duration<double, std::milli>(readings[first].at - sounds).count());
  }
  for (const Reading& r : readings) {
    if (r.heard < 0) continue;
    const double truth = std::chrono::duration<double>(r.at - start).count() * kRate;
    positionErrors.push_back(std::abs(static_cast<double>(r.heard) - truth) * 1000.0 / kRate);
  }
  std::printf("onsets %zu, readings %zu, steps shown %zu\n", onsets.size(), readings.size(),
              lags.size());
  if (lags.empty()) {
    std::printf("no steps shown\n");
    return 0;
  }
  std::printf("BENCH playhead_lag_ms %.2f ms\n", Percentile(lags, 0.99));
  std::printf("BENCH playhead_lag_p50_ms %.2f ms\n", Percentile(lags, 0.5));
  std::printf("BENCH playhead_lag_max_ms %.2f ms\n", Percentile(lags, 1.0));
  std::printf("BENCH playhead_position_error_p99_ms %.2f ms\n", Percentile(positionErrors, 0.99));
  return 0;
}
