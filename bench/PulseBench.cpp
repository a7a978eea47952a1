// The kick pattern through a real sound server: SDL's output on the private
// PulseAudio that scripts/pulse-bench starts, whose null sink's monitor it
// records. Two steps, run by that script:
//   bench_pulse play SECONDS    plays the pattern through SDL's default device
//   bench_pulse analyse FILE    finds the onsets in the recording (a WAV file)
#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/KickPattern.h"
#include "kit/SdlAudioOutput.h"

namespace {

using namespace std::chrono_literals;
using namespace kickbench;

int Play(int seconds) {
  SetAudioOutputFactory(SdlAudioOutputFactory());
  try {
    KickRig rig;
    // A server takes a while to start a stream, and the output clock some
    // seconds to learn the device's pace: play once it has seen ten, as the
    // program's device has long run when the user first presses play.
    rig.ui.PumpUntil([&] { return rig.mixer().FramesRendered() >= 10 * rig.mixer().Rate(); },
                     20000ms);
    rig.Start();
    rig.ui.PumpFor(std::chrono::seconds(seconds));
    rig.Stop();
    rig.ui.PumpFor(300ms);
    const Mixer& mixer = rig.mixer();
    std::printf("driver %s, %d Hz, %d-frame blocks, trigger latency %.2f ms\n",
                SDL_GetCurrentAudioDriver(), mixer.Rate(), mixer.PeriodFrames(),
                std::chrono::duration<double, std::milli>(mixer.TriggerLatency()).count());
    std::printf("BENCH pulse_late_starts %lld count\n", static_cast<long long>(mixer.LateStarts()));
    std::printf("BENCH pulse_underruns_late_callbacks %lld count\n",
                static_cast<long long>(mixer.LateCallbacks()));
    std::printf("BENCH pulse_underruns_slow_renders %lld count\n",
                static_cast<long long>(mixer.SlowRenders()));
    // The server tells of its underruns only by asking for every block later.
    std::printf("BENCH pulse_underruns %lld count\n",
                static_cast<long long>(mixer.PhaseSteps() + mixer.LateCallbacks()));
  } catch (const std::exception& e) {
    std::printf("no sound device: %s\n", e.what());
    return 1;
  }
  SetAudioOutputFactory(nullptr);
  return 0;
}

uint32_t Le(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t(static_cast<uint8_t>(s[at + i])) << (8 * i);
  return v;
}

// 16-bit stereo samples of a WAV file as floats; the data runs to the end of
// the file whatever its header says (a recorder stopped by a signal).
std::vector<float> ReadRecording(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<float> samples;
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return samples;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const uint32_t size = Le(bytes, at + 4, 4);
    if (bytes.compare(at, 4, "data") == 0) {
      for (size_t i = at + 8; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<int16_t>(Le(bytes, i, 2)) / 32768.0f);
      break;
    }
    at += 8 + size + (size & 1);
  }
  return samples;
}

int Analyse(const char* path) {
  const std::vector<size_t> onsets = Onsets(ReadRecording(path));
  if (onsets.size() < 10) {
    std::printf("onsets found in the recording: %zu, too few\n", onsets.size());
    return 1;
  }
  // Each onset's step number counts from the first; a missing onset leaves a gap.
  std::vector<double> steps, frames, errors;
  for (size_t i = 0; i < onsets.size(); ++i) {
    steps.push_back(std::round(static_cast<double>(onsets[i] - onsets[0]) / kStepFrames));
    frames.push_back(static_cast<double>(onsets[i]));
    if (i > 0 && steps[i] - steps[i - 1] == 1)
      errors.push_back(std::abs(frames[i] - frames[i - 1] - kStepFrames));
  }
  // The tempo the recording shows: a straight line through the onsets.
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  const double n = static_cast<double>(steps.size());
  for (size_t i = 0; i < steps.size(); ++i) {
    sx += steps[i];
    sy += frames[i];
    sxx += steps[i] * steps[i];
    sxy += steps[i] * frames[i];
  }
  const double framesPerStep = (n * sxy - sx * sy) / (n * sxx - sx * sx);
  const double toMs = 1000.0 / kRate;
  std::printf("onsets %zu over %.1f s, %.3f frames a step (%.0f expected)\n", onsets.size(),
              (frames.back() - frames.front()) / kRate, framesPerStep, kStepFrames);
  std::printf("BENCH pulse_onset_interval_error_p50_ms %.4f ms\n", Percentile(errors, 0.5) * toMs);
  std::printf("BENCH pulse_onset_interval_error_p99_ms %.4f ms\n", Percentile(errors, 0.99) * toMs);
  std::printf("BENCH pulse_onset_interval_error_max_ms %.4f ms\n", Percentile(errors, 1.0) * toMs);
  std::printf("BENCH pulse_tempo_drift_ppm %.2f ppm\n", (framesPerStep / kStepFrames - 1) * 1e6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "play") return Play(std::max(1, std::atoi(argv[2])));
  if (mode == "analyse") return Analyse(argv[2]);
  std::fprintf(stderr, "usage: bench_pulse play SECONDS | analyse FILE.wav\n");
  return 2;
}
