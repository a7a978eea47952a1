// The pattern player plays a kick on every step of a 16-step pattern at tempo
// 60 (120 ms steps), repeated, into the capture output paced in real time:
// as a sound card does, in bursts of four periods as sound servers do, and
// with the UI thread stalled now and then. Onsets are found in the recorded
// samples and the gaps between them are compared with 120 ms.
// Usage: bench_playback [seconds, default 30]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/KickPattern.h"
#include "kit/CaptureOutput.h"
#include "render/HitTable.h"
#include "render/wavaudio.h"

namespace {

using namespace std::chrono_literals;
using namespace kickbench;

struct Options {
  bool stamp = true;
  int burstPeriods = 1;        // the capture output's blocks per wake-up
  bool stallUiThread = false;  // 300 ms without pumping, every 2 s
};

struct Run {
  std::vector<double> errors;  // |gap - 120 ms|, frames, gaps not next to a stall
  std::vector<double> gaps;    // every gap, frames
  size_t onsets = 0;
  int64_t lateCallbacks = 0, slowRenders = 0, lateStarts = 0;
  double latencyMs = 0;
  std::vector<std::pair<double, double>> stalls;  // output frames
};

constexpr auto kStallEvery = 2000ms;
constexpr auto kStall = 300ms;

// Pumps the UI thread; with stalls, stops pumping for a while every 2 s and
// notes when, as output frames.
std::vector<std::pair<double, double>> PumpWithStalls(ManualUiThread& ui,
                                                      std::chrono::seconds length, bool stall,
                                                      CaptureTape& tape) {
  std::vector<std::pair<double, double>> stalls;
  const auto end = std::chrono::steady_clock::now() + length;
  while (std::chrono::steady_clock::now() < end) {
    ui.PumpFor(stall ? std::chrono::milliseconds(kStallEvery) : 100ms);
    if (!stall) continue;
    const auto from = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(kStall);
    const auto frame = [&](auto t) {
      return std::chrono::duration<double>(t - tape.StartTime()).count() * kRate;
    };
    stalls.emplace_back(frame(from), frame(std::chrono::steady_clock::now()));
  }
  return stalls;
}

Run Play(int seconds, const Options& options) {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = 240;
  settings.pacing = CaptureTape::Pacing::RealTime;
  settings.burstPeriods = options.burstPeriods;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(static_cast<size_t>(seconds + 2) * kRate);
  SetAudioOutputFactory(CaptureFactory(tape));

  Run run;
  double latencyFrames = 0;
  {
    KickRig rig;
    rig.sound.SetStampSteps(options.stamp);
    rig.ui.PumpFor(1000ms);  // the output clock settles
    rig.Start();
    run.stalls =
        PumpWithStalls(rig.ui, std::chrono::seconds(seconds), options.stallUiThread, *tape);
    rig.Stop();
    rig.ui.PumpFor(100ms);
    const Mixer& mixer = rig.mixer();
    run.lateCallbacks = mixer.LateCallbacks();
    run.slowRenders = mixer.SlowRenders();
    run.lateStarts = mixer.LateStarts();
    run.latencyMs = std::chrono::duration<double, std::milli>(mixer.TriggerLatency()).count();
    latencyFrames = run.latencyMs * kRate / 1000;
  }
  SetAudioOutputFactory(nullptr);

  const std::vector<size_t> onsets = Onsets(tape->Samples());
  run.onsets = onsets.size();
  // An onset sounds a latency after its tick was due.
  const auto nearStall = [&](size_t onset) {
    const double due = static_cast<double>(onset) - latencyFrames;
    for (const auto& [from, to] : run.stalls)
      if (due > from - 0.01 * kRate && due < to + 2 * kStepFrames) return true;
    return false;
  };
  for (size_t i = 1; i < onsets.size(); ++i) {
    const double gap = static_cast<double>(onsets[i] - onsets[i - 1]);
    run.gaps.push_back(gap);
    if (!nearStall(onsets[i]) && !nearStall(onsets[i - 1]))
      run.errors.push_back(std::abs(gap - kStepFrames));
  }
  return run;
}

void Report(const Run& run, const std::string& prefix, const std::string& suffix) {
  if (run.errors.empty()) {
    std::printf("no onsets found\n");
    return;
  }
  const double toMs = 1000.0 / kRate;
  const double p50 = Percentile(run.errors, 0.5), p99 = Percentile(run.errors, 0.99),
               max = Percentile(run.errors, 1.0);
  std::printf(
      "onsets %zu, late callbacks %lld, slow renders %lld, late starts %lld, "
      "trigger latency %.2f ms\n",
      run.onsets, static_cast<long long>(run.lateCallbacks),
      static_cast<long long>(run.slowRenders), static_cast<long long>(run.lateStarts),
      run.latencyMs);
  const char* p = prefix.c_str();
  const char* s = suffix.c_str();
  std::printf("BENCH %sonset_interval_error_p50_ms%s %.4f ms\n", p, s, p50 * toMs);
  std::printf("BENCH %sonset_interval_error_p99_ms%s %.4f ms\n", p, s, p99 * toMs);
  std::printf("BENCH %sonset_interval_error_max_ms%s %.4f ms\n", p, s, max * toMs);
  std::printf("BENCH %sonset_interval_error_p99_frames%s %.1f frames\n", p, s, p99);
  std::fflush(stdout);
}

// How far the tempo of the onsets is from 120 ms a step, from a straight
// line through them.
double TempoErrorPpm(const std::vector<size_t>& onsets) {
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (size_t i = 0; i < onsets.size(); ++i) {
    const double x = std::round(static_cast<double>(onsets[i] - onsets[0]) / kStepFrames);
    const double y = static_cast<double>(onsets[i]);
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
  }
  const double n = static_cast<double>(onsets.size());
  const double framesPerStep = (n * sxy - sx * sy) / (n * sxx - sx * sx);
  return (framesPerStep / kStepFrames - 1) * 1e6;
}

std::shared_ptr<CaptureTape> PacedTape(int seconds, int64_t stallAtFrame, int stallMs) {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = 256;
  settings.pacing = CaptureTape::Pacing::RealTime;
  settings.stallAtFrame = stallAtFrame;
  settings.stallMs = stallMs;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(static_cast<size_t>(seconds + 8) * kRate);
  return tape;
}

// The output stalls 60 ms (and plays on that much later) 2 s before play;
// the tempo of the next 30 s is measured in the recording.
void StallBeforePlay(int seconds) {
  auto tape = PacedTape(seconds, 3 * kRate, 60);
  SetAudioOutputFactory(CaptureFactory(tape));
  {
    KickRig rig;
    rig.ui.PumpFor(5000ms);
    rig.Start();
    rig.ui.PumpFor(std::chrono::seconds(seconds));
    rig.Stop();
    rig.ui.PumpFor(100ms);
  }
  SetAudioOutputFactory(nullptr);
  const auto onsets = Onsets(tape->Samples());
  std::printf("a 60 ms stall of the output 2 s before play, %zu onsets over %d s\n", onsets.size(),
              seconds);
  if (onsets.size() > 10)
    std::printf("BENCH stall_pace_error_ppm %.2f ppm\n", TempoErrorPpm(onsets));
}

// A song with tempo changes played live into a paced output and compared,
// onset by onset from the first, with where the render puts each hit.
void LiveAgainstRender() {
  auto tape = PacedTape(30, -1, 0);
  SetAudioOutputFactory(CaptureFactory(tape));
  SongHost host;
  host.song = KickSong(4);
  std::vector<double> rendered;
  {
    KickRig rig;
    PlaybackEngine engine{rig.ui, host, rig.sound};
    rig.ui.PumpFor(2000ms);
    engine.BitBtn12Click();
    rig.ui.PumpUntil([&] { return !engine.SongPlaying(); }, std::chrono::seconds(60));
    rig.ui.PumpFor(300ms);
    wavaudio::TWave output;
    output.Format.nSamplesPerSec = kRate;
    output.Format.nAvgBytesPerSec = kRate * output.Format.nBlockAlign;
    for (const Hit& hit : FindHits(host.song, rig.instruments, rig.instruments.IndexOf(kKick)))
      rendered.push_back(output.MixOffset(hit.time));
  }
  SetAudioOutputFactory(nullptr);
  const auto onsets = Onsets(tape->Samples());
  if (onsets.size() != rendered.size()) {
    std::printf("live onsets %zu, rendered hits %zu\n", onsets.size(), rendered.size());
    return;
  }
  double worst = 0;
  for (size_t i = 0; i < onsets.size() && std::getenv("BENCH_SHOW"); ++i)
    std::printf("%zu live %zu render %.0f\n", i, onsets[i] - onsets[0], rendered[i] - rendered[0]);
  for (size_t i = 0; i < onsets.size(); ++i)
    worst = std::max(
        worst, std::abs(static_cast<double>(onsets[i] - onsets[0]) - (rendered[i] - rendered[0])));
  std::printf("a song of %zu kicks in five tempos, live against the render\n", onsets.size());
  std::printf("BENCH live_vs_render_max_frames %.0f frames\n", worst);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "song") {
    LiveAgainstRender();
    return 0;
  }
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  std::printf("pattern player, kick on every 120 ms step, %d s at %d Hz\n", seconds, kRate);
  Report(Play(seconds, {}), "", "");

  // For comparison: plays placed by the time of the call, after the hand-over.
  const int shorter = std::max(1, seconds / 3);
  std::printf("the same, %d s, plays stamped by their call instead of the tick\n", shorter);
  Report(Play(shorter, {.stamp = false}), "", "_unstamped");

  std::printf("the same, %d s, the output asking for 4 periods back to back\n", seconds);
  const Run burst = Play(seconds, {.burstPeriods = 4});
  Report(burst, "burst_", "");
  std::printf("BENCH burst_late_starts %lld count\n", static_cast<long long>(burst.lateStarts));

  std::printf("the same, %d s, the UI thread stalled for 300 ms every 2 s\n", seconds);
  const Run stalled = Play(seconds, {.stallUiThread = true});
  Report(stalled, "stall_", "");
  std::printf("BENCH stall_min_gap_ms %.2f ms\n",
              *std::min_element(stalled.gaps.begin(), stalled.gaps.end()) * 1000.0 / kRate);

  StallBeforePlay(seconds);
  LiveAgainstRender();
  return 0;
}
