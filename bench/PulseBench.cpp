// The players through a real sound server: SDL's output on the private
// PulseAudio that scripts/pulse-bench starts, whose null sink's monitor it
// records. Run by that script:
//   bench_pulse play SECONDS EXPECTED   plays a song of kicks in five tempos
//                                       from its first step (F5) through SDL's
//                                       default device; writes the render's hits
//   bench_pulse analyse FILE EXPECTED   compares the onsets in the recording (a
//                                       WAV file) with the render's, gap by gap
//   bench_pulse click COUNT             times clicks from the call to the sound
//                                       leaving the server's sink
#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/KickPattern.h"
#include "bench/ServerLatency.h"
#include "bench/TappedOutput.h"
#include "kit/SdlAudioOutput.h"
#include "render/HitTable.h"
#include "render/wavaudio.h"

namespace {

using namespace std::chrono_literals;
using namespace kickbench;
using Clock = std::chrono::steady_clock;

void PrintUnderruns(const Mixer& mixer, const char* prefix) {
  std::printf("driver %s, %d Hz, %d-frame blocks, trigger latency %.2f ms\n",
              SDL_GetCurrentAudioDriver(), mixer.Rate(), mixer.PeriodFrames(),
              std::chrono::duration<double, std::milli>(mixer.TriggerLatency()).count());
  std::printf("BENCH %slate_starts %lld count\n", prefix,
              static_cast<long long>(mixer.LateStarts()));
  std::printf("BENCH %sunderruns_late_callbacks %lld count\n", prefix,
              static_cast<long long>(mixer.LateCallbacks()));
  std::printf("BENCH %sunderruns_slow_renders %lld count\n", prefix,
              static_cast<long long>(mixer.SlowRenders()));
  // What the program sees of the server's underruns: it asks for every block
  // later. The server's own count (scripts/pulse-bench) is the one heard.
  std::printf("BENCH %sclock_phase_steps %lld count\n", prefix,
              static_cast<long long>(mixer.PhaseSteps()));
}

// A server takes a while to start a stream, and the output clock some seconds
// to learn the device's pace: play once it has seen ten, as the program's
// device has long run when the user first presses play.
void Settle(KickRig& rig) {
  rig.ui.PumpUntil([&] { return rig.mixer().FramesRendered() >= 10 * rig.mixer().Rate(); },
                   20000ms);
}

// Plays the kick song from its first step (F5) and writes where the render
// puts each of its hits, in frames, to `expected`.
int PlaySong(int seconds, const char* expected) {
  SetAudioOutputFactory(SdlAudioOutputFactory());
  try {
    SongHost host;
    host.song = KickSong(std::max(1, seconds * 10 / 32));
    KickRig rig;
    PlaybackEngine engine{rig.ui, host, rig.sound};
    Settle(rig);
    engine.BitBtn12Click();
    rig.ui.PumpUntil([&] { return !engine.SongPlaying(); }, std::chrono::seconds(seconds + 60));
    rig.ui.PumpFor(300ms);
    wavaudio::TWave output;
    output.Format.nSamplesPerSec = kRate;
    output.Format.nAvgBytesPerSec = kRate * output.Format.nBlockAlign;
    std::ofstream out(expected);
    for (const Hit& hit : FindHits(host.song, rig.instruments, rig.instruments.IndexOf(kKick)))
      out << output.MixOffset(hit.time) << "\n";
    PrintUnderruns(rig.mixer(), "pulse_");
  } catch (const std::exception& e) {
    std::printf("no sound device: %s\n", e.what());
    return 1;
  }
  SetAudioOutputFactory(nullptr);
  return 0;
}

double Seconds(Clock::time_point t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

// Where the sink plays the stream's frames: frame f at f / rate + offset
// (seconds of the steady clock), offset within [low, high].
struct Bounds {
  double low = -1e300, high = 1e300;
};

// From a few answers of the server spread over about two blocks. At each
// answer the last frame the server holds plays after its buffer and sink
// latency; that frame is at least the first of the block the device asked for
// last (its callback comes once the one before is written) and at most the end.
std::optional<Bounds> PlayTimeBounds(serverlatency::ServerLatency& server, const tapped::Tap& tap,
                                     double rate, int period) {
  Bounds b;
  int answers = 0;
  for (int k = 0; k < 8; ++k) {
    std::this_thread::sleep_for(std::chrono::microseconds(700));
    const int64_t frames = tap.frames.load();
    const auto before = Clock::now();
    const auto latency = server.Query();
    const auto after = Clock::now();
    // The block must have reached the server, and no callback come meanwhile.
    if (!latency || tap.frames.load() != frames || after - before > 2ms ||
        before - tap.LastBlockTime() < 1ms)
      continue;
    const double wait = static_cast<double>(latency->bufferUs + latency->sinkUs) * 1e-6;
    b.high = std::min(b.high, Seconds(after) + wait - static_cast<double>(frames - period) / rate);
    b.low = std::max(b.low, Seconds(before) + wait - static_cast<double>(frames) / rate);
    ++answers;
  }
  if (answers == 0 || b.low > b.high) return std::nullopt;
  return b;
}

// Clicks (a kit entry's Play, as a click on a cell makes) at random moments:
// the time from each call to its onset leaving the server's sink, and the
// program's part of it (to the callback that renders the onset).
int Clicks(int count) {
  SetAudioOutputFactory(
      [] { return std::make_unique<tapped::TappedOutput>(SdlAudioOutputFactory()()); });
  serverlatency::ServerLatency server;
  if (!server.Ready()) {
    std::printf("click to sound skipped: the PulseAudio server does not answer\n");
    return 0;
  }
  try {
    KickRig rig;
    Settle(rig);
    const double rate = rig.mixer().Rate();
    tapped::Tap& tap = tapped::TheTap();
    std::mt19937 random(26);
    std::uniform_int_distribution<int> gapMs(100, 200);
    std::vector<double> high, low, program, width;
    int unplaced = 0;
    for (int i = 0; i < count; ++i) {
      rig.ui.PumpFor(std::chrono::milliseconds(gapMs(random)));
      const int64_t before = tap.onsetFrame.load();
      const auto call = Clock::now();
      rig.kit.Play(1);
      const auto give_up = call + 500ms;
      while (tap.onsetFrame.load() == before && Clock::now() < give_up)
        std::this_thread::sleep_for(200us);
      const tapped::Onset onset = tap.LastOnset();
      const auto bounds = PlayTimeBounds(server, tap, rate, rig.mixer().PeriodFrames());
      if (onset.frame == before || !bounds) {
        ++unplaced;
        continue;
      }
      const double onsetAt = static_cast<double>(onset.frame) / rate - Seconds(call);
      high.push_back(1000 * (bounds->high + onsetAt));
      low.push_back(1000 * (bounds->low + onsetAt));
      width.push_back(1000 * (bounds->high - bounds->low));
      program.push_back(1000 * (Seconds(onset.askedFor) - Seconds(call)));
    }
    std::printf("%zu clicks timed (%d not), bounds %.2f ms wide (median)\n", high.size(), unplaced,
                Percentile(width, 0.5));
    std::printf("BENCH click_to_sound_ms %.2f ms\n", Percentile(high, 0.5));
    std::printf("BENCH click_to_sound_p99_ms %.2f ms\n", Percentile(high, 0.99));
    std::printf("BENCH click_to_sound_low_ms %.2f ms\n", Percentile(low, 0.5));
    std::printf("BENCH click_program_part_ms %.2f ms\n", Percentile(program, 0.5));
    std::printf("BENCH click_program_part_p99_ms %.2f ms\n", Percentile(program, 0.99));
    PrintUnderruns(rig.mixer(), "click_");
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

std::vector<double> ReadExpected(const char* path) {
  std::ifstream in(path);
  std::vector<double> frames;
  for (double f; in >> f;) frames.push_back(f);
  return frames;
}

// The recording's onsets against the render's hits, gap by gap from the
// song's first step: each onset is matched with the hit whose gap from the
// last matched hit is nearest its own (within 20 ms), so a hit lost or moved
// by the server counts in its own gaps only, and each gap between matched
// neighbours is compared with the render's gap.
int Analyse(const char* path, const char* expectedPath) {
  const std::vector<size_t> onsets = Onsets(ReadRecording(path));
  const std::vector<double> expected = ReadExpected(expectedPath);
  if (onsets.size() < 10 || expected.size() < 10) {
    std::printf("onsets found in the recording: %zu of %zu, too few\n", onsets.size(),
                expected.size());
    return 1;
  }
  std::vector<double> errors, offsets, xs, ys;
  size_t matched = 1, unmatched = 0;
  size_t last = 0, lastOnset = 0;  // the first onset is the first hit
  xs.push_back(0);
  ys.push_back(0);
  offsets.push_back(0);
  for (size_t i = 1; i < onsets.size(); ++i) {
    const double gap = static_cast<double>(onsets[i] - onsets[lastOnset]);
    size_t j = last + 1;
    for (size_t k = last + 1; k < expected.size(); ++k)
      if (std::abs(expected[k] - expected[last] - gap) <
          std::abs(expected[j] - expected[last] - gap))
        j = k;
    if (j >= expected.size() || std::abs(expected[j] - expected[last] - gap) > 0.02 * kRate) {
      ++unmatched;  // not a hit of the song
      continue;
    }
    if (j == last + 1) errors.push_back(std::abs(gap - (expected[j] - expected[last])));
    const double live = static_cast<double>(onsets[i] - onsets[0]);
    offsets.push_back(std::abs(live - (expected[j] - expected[0])));
    xs.push_back(expected[j] - expected[0]);
    ys.push_back(live);
    ++matched;
    last = j;
    lastOnset = i;
  }
  const size_t missing = expected.size() - matched;
  // The tempo the recording shows against the render's: a line through the onsets.
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  const double n = static_cast<double>(xs.size());
  for (size_t i = 0; i < xs.size(); ++i) {
    sx += xs[i];
    sy += ys[i];
    sxx += xs[i] * xs[i];
    sxy += xs[i] * ys[i];
  }
  const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
  const double toMs = 1000.0 / kRate;
  std::printf(
      "onsets %zu for the song's %zu hits over %.1f s: %zu gaps compared, %zu hits missing, "
      "%zu onsets not the song's\n",
      onsets.size(), expected.size(), (expected.back() - expected.front()) / kRate, errors.size(),
      missing, unmatched);
  std::printf("BENCH pulse_onset_interval_error_p50_ms %.4f ms\n", Percentile(errors, 0.5) * toMs);
  std::printf("BENCH pulse_onset_interval_error_p99_ms %.4f ms\n", Percentile(errors, 0.99) * toMs);
  std::printf("BENCH pulse_onset_interval_error_max_ms %.4f ms\n", Percentile(errors, 1.0) * toMs);
  std::printf("BENCH pulse_first_gap_error_ms %.4f ms\n", errors.empty() ? -1 : errors[0] * toMs);
  std::printf("BENCH pulse_live_vs_render_max_frames %.0f frames\n", Percentile(offsets, 1.0));
  std::printf("BENCH pulse_missing_hits %zu count\n", missing);
  std::printf("BENCH pulse_tempo_drift_ppm %.2f ppm\n", (slope - 1) * 1e6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "play" && argc > 3) return PlaySong(std::max(1, std::atoi(argv[2])), argv[3]);
  if (mode == "analyse" && argc > 3) return Analyse(argv[2], argv[3]);
  if (mode == "click") return Clicks(std::max(10, std::atoi(argv[2])));
  std::fprintf(stderr,
               "usage: bench_pulse play SECONDS EXPECTED | analyse FILE.wav EXPECTED | "
               "click COUNT\n");
  return 2;
}
