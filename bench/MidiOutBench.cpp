// The beat at midi_out against the sound: the pattern player plays a kick on
// every 120 ms step into the capture output paced in real time, with notes
// and MIDI clock going out. A listening client notes when each message
// reaches it; each note-on is compared with the moment its kick starts in
// the recording, each pulse with its ideal time (six even pulses a step,
// from the step's sound).
// Usage: bench_midi_out [seconds, default 20]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "bench/KickPattern.h"
#include "kit/CaptureOutput.h"
#include "midi/MidiBeatOut.h"
#include "midi/MidiSendQueue.h"

namespace {

using namespace std::chrono_literals;
using namespace kickbench;
using Clock = std::chrono::steady_clock;

// The program's own timed sender (what midi_out sends through on the ALSA
// sequencer), delivering straight to the client as the wire would.
std::unique_ptr<MidiSender> MakeSender(MidiListener& client) {
  return std::make_unique<MidiSendQueue>([&client](std::span<const uint8_t> bytes) {
    MidiEvent event;
    event.timeNs = MidiNs(Clock::now());  // when the client has it
    event.size = static_cast<uint8_t>(std::min<size_t>(bytes.size(), 3));
    std::copy_n(bytes.begin(), event.size, event.bytes.begin());
    client.Heard(event);
  });
}

// A client listening at midi_out: keeps when each note-on and pulse arrived.
class Client : public MidiListener {
 public:
  void Heard(const MidiEvent& event) override {
    std::lock_guard lock(mutex_);
    if (event.bytes[0] == 0x99) notes.push_back(event.timeNs);
    if (event.bytes[0] == 0xF8) pulses.push_back(event.timeNs);
  }
  std::mutex mutex_;
  std::vector<int64_t> notes, pulses;
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  auto tape = RealTimeTape(seconds);
  Client client;
  {
    KickRig rig;
    HitNotes notes(rig.instruments);
    auto sender = MakeSender(client);
    MidiBeatOut beat(notes, *sender);
    beat.SetSendClock(true);
    rig.engine.SetPlayObserver(&beat);
    rig.ui.PumpFor(1000ms);  // the output clock settles
    rig.Start();
    rig.ui.PumpFor(std::chrono::seconds(seconds));
    rig.Stop();
    rig.ui.PumpFor(200ms);
    rig.engine.SetPlayObserver(nullptr);
  }
  SetAudioOutputFactory(nullptr);

  const std::vector<size_t> onsets = Onsets(tape->Samples());
  const Clock::time_point start = tape->StartTime();
  auto soundNs = [&](double frame) {
    return MidiNs(start) + static_cast<int64_t>(std::llround(frame * 1e9 / kRate));
  };
  std::lock_guard lock(client.mutex_);
  std::vector<double> noteErrors, pulseErrors;
  const size_t steps = std::min(onsets.size(), client.notes.size());
  for (size_t k = 0; k < steps; ++k)
    noteErrors.push_back(std::abs(client.notes[k] - soundNs(onsets[k])) * 1e-6);
  for (size_t i = 0; i < client.pulses.size() && i / 6 < onsets.size(); ++i) {
    const double frame = onsets[i / 6] + static_cast<double>(i % 6) * kStepFrames / 6;
    pulseErrors.push_back(std::abs(client.pulses[i] - soundNs(frame)) * 1e-6);
  }
  std::printf("onsets %zu, notes %zu, pulses %zu\n", onsets.size(), client.notes.size(),
              client.pulses.size());
  if (noteErrors.empty() || pulseErrors.empty()) {
    std::printf("nothing arrived\n");
    return 1;
  }
  std::printf("BENCH midi_out_jitter_ms %.3f ms\n", Percentile(noteErrors, 0.99));
  std::printf("BENCH midi_out_jitter_p50_ms %.3f ms\n", Percentile(noteErrors, 0.5));
  std::printf("BENCH midi_clock_jitter_ms %.3f ms\n", Percentile(pulseErrors, 0.99));
  std::printf("BENCH midi_clock_jitter_p50_ms %.3f ms\n", Percentile(pulseErrors, 0.5));
  return 0;
}
