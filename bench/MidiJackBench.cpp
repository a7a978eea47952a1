// A note through JACK end to end, on a private real-time server at 128 and
// 256 frames: a bench client writes note-ons into Korvanto:midi_in at known
// frames of its cycles; the program's MIDI input (the ports on the sound's
// client, the inbox waking the UI thread, the note map and the kit's mixer
// on a JackAudioOutput) sounds them at Korvanto:out_L, which the client
// records. Arrival is the frame a note was written at, sound the first frame
// of its onset.
//   midi_in_to_sound_ms_jack_<block>         p99 from arrival to sound
//   midi_in_to_sound_ms_jack_<block>_median
//   midi_in_to_sound_ms_jack_<block>_limit   one block + 1 ms, the aim
//   midi_in_jitter_ms_jack_<block>           p99 of the spread from the median
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "MidiKitRig.h"
#include "kit/JackAudioOutput.h"
#include "midi/JackNoteProbe.h"
#include "midi/MidiPorts.h"
#include "midi/WakeSignal.h"
#include "support/PrivateJack.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = MidiKitRig::kRate;
constexpr int kNotes = 300;

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1,
                    static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5))];
}

// p99 of how far the delays spread from their median.
double Jitter(const std::vector<double>& delays) {
  const double median = Percentile(delays, 0.5);
  std::vector<double> spread;
  for (double d : delays) spread.push_back(std::abs(d - median));
  return Percentile(spread, 0.99);
}

struct Figures {
  std::vector<double> ms;  // arrival to sound, each note heard
  int notes = 0;           // written into midi_in
  int64_t lateStarts = 0;
  int64_t xruns = 0;
  double latencyMs = 0;  // the mixer's trigger latency
};

// The UI thread's part: woken by the inbox, it sounds what waits.
void TakeFor(MidiKitRig& rig, NoteInbox& inbox, WakeSignal& wake, Clock::duration span) {
  const auto until = Clock::now() + span;
  while (Clock::now() < until) {
    pollfd watch{wake.Fd(), POLLIN, 0};
    if (::poll(&watch, 1, 1) <= 0) continue;
    wake.Clear();
    rig.Take(inbox);
  }
}

Figures Measure(int block) {
  Figures figures;
  PrivateJack jack(block, kRate, true);  // real time, as a studio runs it
  if (!jack.running()) return figures;
  MidiKitRig rig(JackAudioOutputFactory());
  WakeSignal wake;
  NoteInbox inbox([&wake] { wake.Notify(); });
  MidiPorts ports({&inbox});
  if (!ports.Open(MidiSystem::Jack).empty()) return figures;
  JackNoteProbe probe(static_cast<size_t>(kRate) * (kNotes / 20 + 10));
  if (!probe.ok()) return figures;
  const int64_t xruns = JackXruns();
  TakeFor(rig, inbox, wake, std::chrono::milliseconds(700));  // the clock settles
  const int64_t lateBefore = rig.mixer().LateStarts();
  std::mt19937 random(static_cast<unsigned>(block));
  std::uniform_int_distribution<int> gapMs(20, 45), frame(0, block - 1);
  for (int n = 0; n < kNotes; ++n) {
    while (!probe.PlayAt(frame(random))) TakeFor(rig, inbox, wake, std::chrono::milliseconds(1));
    TakeFor(rig, inbox, wake, std::chrono::milliseconds(gapMs(random)));
  }
  TakeFor(rig, inbox, wake, std::chrono::milliseconds(200));
  figures.lateStarts = rig.mixer().LateStarts() - lateBefore;
  figures.xruns = JackXruns() - xruns;
  figures.latencyMs =
      std::chrono::duration<double, std::milli>(rig.mixer().TriggerLatency()).count();
  const auto arrivals = probe.Arrivals();
  figures.notes = static_cast<int>(arrivals.size());
  for (size_t i = 0; i < arrivals.size(); ++i) {
    const int64_t sounded = probe.FirstSoundFrom(arrivals[i], 0.05f);
    const bool beforeNext = i + 1 == arrivals.size() || sounded < arrivals[i + 1];
    if (sounded >= 0 && beforeNext)
      figures.ms.push_back(1000.0 * static_cast<double>(sounded - arrivals[i]) / kRate);
  }
  return figures;
}

}  // namespace

int main() {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // never a user's sound server
  for (const int block : {128, 256}) {
    const Figures figures = Measure(block);
    if (figures.notes == 0) {
      std::printf("bench_midi_jack: no private JACK server at %d frames; no figures\n", block);
      continue;
    }
    std::printf("BENCH midi_in_to_sound_ms_jack_%d %.3f ms\n", block, Percentile(figures.ms, 0.99));
    std::printf("BENCH midi_in_to_sound_ms_jack_%d_median %.3f ms\n", block,
                Percentile(figures.ms, 0.5));
    std::printf("BENCH midi_in_to_sound_ms_jack_%d_limit %.3f ms\n", block,
                1000.0 * block / kRate + 1.0);
    std::printf("BENCH midi_in_to_sound_ms_jack_%d_max %.3f ms\n", block,
                Percentile(figures.ms, 1.0));
    std::printf("BENCH midi_in_jitter_ms_jack_%d %.3f ms\n", block, Jitter(figures.ms));
    std::printf("BENCH midi_in_jack_%d_mixer_latency_ms %.3f ms\n", block, figures.latencyMs);
    std::printf("BENCH midi_in_jack_%d_notes_heard %zu notes\n", block, figures.ms.size());
    std::printf("BENCH midi_in_jack_%d_notes_written %d notes\n", block, figures.notes);
    std::printf("BENCH midi_in_jack_%d_late_starts %lld notes\n", block,
                static_cast<long long>(figures.lateStarts));
    std::printf("BENCH midi_in_jack_%d_xruns %lld count\n", block,
                static_cast<long long>(figures.xruns));
    std::fflush(stdout);
  }
  return 0;
}
