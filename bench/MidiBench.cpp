// Live MIDI figures on a private JACK server, with a keyboard made by RtMidi
// and the kit on a capture output paced in real time, as SDL paces its
// output (bench_midi_jack gives the figure with the sound on JACK):
//   midi_in_to_sound_ms_sdl p99 from a note's arrival at midi_in to the first
//                           frame of its sound in the output
//   midi_in_jitter_ms       p99 of how far that spread from its median
//   midi_flood_notes_per_s  notes sounded a second while 10,000 a second come
//   midi_flood_late_blocks  output blocks late during the flood (underruns)
//   midi_flood_late_starts  notes handed over after their frame was rendered
//   midi_send_late_ms       p99 of how late the ALSA path's sender sends
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "MidiKitRig.h"
#include "kit/CaptureOutput.h"
#include "midi/MidiPorts.h"
#include "support/PrivateJack.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;
constexpr int kBlock = 240;

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

// A capture output paced in real time, its tape long enough for the seconds.
std::shared_ptr<CaptureTape> PacedTape(int seconds) {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = kBlock;
  settings.pacing = CaptureTape::Pacing::RealTime;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(static_cast<size_t>(seconds) * kRate);
  return tape;
}

std::vector<int64_t> Onsets(const std::vector<float>& samples) {
  std::vector<int64_t> onsets;
  bool sounding = false;
  for (size_t i = 0; i < samples.size(); i += 2) {
    const bool now = samples[i] * 32768.0f > 100;
    if (now && !sounding) onsets.push_back(static_cast<int64_t>(i / 2));
    sounding = now;
  }
  return onsets;
}

void InToSound() {
  const auto tape = PacedTape(30);
  MidiKitRig rig(CaptureFactory(tape));
  NoteInbox inbox(nullptr);
  MidiPorts ports({&inbox});
  if (!ports.Open(MidiSystem::Jack).empty()) return;
  RtMidiOut keyboard(RtMidi::UNIX_JACK, "Pads");
  keyboard.openVirtualPort("out");
  ports.Connect({"Pads:out"}, {});
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the clock settles
  std::mt19937 random(7);
  std::uniform_int_distribution<int> gapMs(20, 45);
  std::vector<NoteHeard> played;
  constexpr int kNotes = 300;
  auto next = Clock::now();
  int sent = 0;
  while (played.size() < kNotes && sent <= kNotes + 10) {
    if (sent < kNotes && Clock::now() >= next) {
      std::vector<unsigned char> on{0x99, 36, 127};
      keyboard.sendMessage(&on);
      ++sent;
      next += std::chrono::milliseconds(gapMs(random));
    }
    rig.Take(inbox, &played);
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    if (sent == kNotes && Clock::now() > next + std::chrono::seconds(1)) break;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto onsets = Onsets(tape->Samples());
  const auto start = tape->StartTime();
  std::vector<double> delays;
  for (size_t i = 0; i < std::min(onsets.size(), played.size()); ++i) {
    const auto arrived = Clock::time_point(std::chrono::nanoseconds(played[i].timeNs));
    const double sounded = std::chrono::duration<double>(start - arrived).count() +
                           static_cast<double>(onsets[i]) / kRate;
    delays.push_back(sounded * 1000);
  }
  const double median = Percentile(delays, 0.5);
  std::vector<double> spread;
  for (double d : delays) spread.push_back(std::abs(d - median));
  std::printf("BENCH midi_block_frames %d frames\n", kBlock);
  std::printf("BENCH midi_block_ms %.3f ms\n", 1000.0 * kBlock / kRate);
  std::printf("BENCH midi_mixer_trigger_latency_ms %.3f ms\n",
              std::chrono::duration<double, std::milli>(rig.mixer().TriggerLatency()).count());
  std::printf("BENCH midi_in_notes_measured %zu notes\n", delays.size());
  std::printf("BENCH midi_in_to_sound_ms_sdl %.3f ms\n", Percentile(delays, 0.99));
  std::printf("BENCH midi_in_to_sound_ms_sdl_median %.3f ms\n", median);
  std::printf("BENCH midi_in_jitter_ms %.3f ms\n", Percentile(spread, 0.99));
  std::printf("BENCH midi_in_late_starts %lld starts\n",
              static_cast<long long>(rig.mixer().LateStarts()));
}

void Flood() {
  MidiKitRig rig(CaptureFactory(PacedTape(10)));
  NoteInbox inbox(nullptr);
  MidiPorts ports({&inbox});
  if (!ports.Open(MidiSystem::Jack).empty()) return;
  RtMidiOut keyboard(RtMidi::UNIX_JACK, "Flood");
  keyboard.openVirtualPort("out");
  ports.Connect({"Flood:out"}, {});
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  const int64_t underrunsBefore = rig.mixer().Underruns();
  const int64_t lateBefore = rig.mixer().LateStarts();
  constexpr int kSeconds = 2;
  constexpr int kPerMs = 10;  // 10,000 a second
  int sent = 0, taken = 0;
  double takeSeconds = 0;  // sounding the notes, as the UI thread does
  const auto start = Clock::now();
  for (int ms = 0; ms < kSeconds * 1000; ++ms) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
    for (int i = 0; i < kPerMs; ++i) {
      std::vector<unsigned char> on{0x99, 36, static_cast<unsigned char>(1 + (sent % 127))};
      keyboard.sendMessage(&on);
      ++sent;
    }
    const auto takeStart = Clock::now();
    taken += rig.Take(inbox);
    takeSeconds += std::chrono::duration<double>(Clock::now() - takeStart).count();
  }
  // The notes of the last cycles still on their way are taken too.
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (int i = 0; i < 100; ++i) {
    taken += rig.Take(inbox);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const int64_t underruns = rig.mixer().Underruns() - underrunsBefore;
  const int64_t late = rig.mixer().LateStarts() - lateBefore;
  std::printf("BENCH midi_flood_sent_per_s %.0f notes/s\n", sent / seconds);
  std::printf("BENCH midi_flood_notes_per_s %.0f notes/s\n", taken / seconds);
  std::printf("BENCH midi_flood_dropped %lld notes\n", static_cast<long long>(inbox.Dropped()));
  std::printf("BENCH midi_flood_late_blocks %lld blocks\n", static_cast<long long>(underruns));
  std::printf("BENCH midi_flood_late_starts %lld notes\n", static_cast<long long>(late));
  std::printf("BENCH midi_flood_take_us %.2f us/note\n", takeSeconds * 1e6 / std::max(1, taken));
}
// The ALSA path's sending thread: how late after its due time each message
// leaves (the JACK path places messages by frame instead).
void SendLateness() {
  std::mutex mutex;
  std::vector<double> lateMs;
  std::vector<int64_t> dues;
  {
    MidiSendQueue queue([&](std::span<const uint8_t> bytes) {
      const int64_t now = MidiNowNs();
      const std::lock_guard lock(mutex);
      const size_t i = bytes[1] | (bytes[2] << 7);
      if (i < dues.size()) lateMs.push_back((now - dues[i]) / 1e6);
    });
    std::mt19937 random(11);
    std::uniform_int_distribution<int> gapUs(500, 3000);
    int64_t due = MidiNowNs() + 20'000'000;
    constexpr int kMessages = 2000;
    for (int i = 0; i < kMessages; ++i) {
      due += gapUs(random) * 1000;
      {
        const std::lock_guard lock(mutex);
        dues.push_back(due);
      }
      const uint8_t note[] = {0x99, static_cast<uint8_t>(i & 0x7F), static_cast<uint8_t>(i >> 7)};
      queue.SendAt(due, note);
    }
    while (MidiNowNs() < due + 50'000'000)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::printf("BENCH midi_send_late_ms %.3f ms\n", Percentile(lateMs, 0.99));
  std::printf("BENCH midi_send_late_max_ms %.3f ms\n",
              lateMs.empty() ? 0.0 : *std::max_element(lateMs.begin(), lateMs.end()));
}
}  // namespace

int main() {
  SendLateness();
  PrivateJack jack(256, kRate);
  if (!jack.running()) {
    std::printf("bench_midi: jackd could not start a private server; no figures\n");
    return 0;
  }
  InToSound();
  Flood();
  return 0;
}
