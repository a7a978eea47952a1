#pragma once
// A keyboard and a pair of ears on JACK for timing a note end to end: the
// client "Keys" writes note-ons into Korvanto:midi_in at a chosen frame of a
// cycle, and "Ears" records Korvanto:out_L, both on the server's own frame
// count. Keys runs before Korvanto and Ears after it in each cycle, so a
// note written at frame f reaches midi_in at frame f.
#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

class JackNoteProbe {
 public:
  static constexpr int kMostNotes = 4096;

  explicit JackNoteProbe(size_t framesHeard) : heard_(framesHeard, 0.0f), arrivals_(kMostNotes) {
    keys_ = Open("Keys");
    ears_ = Open("Ears");
    if (!keys_ || !ears_) return;
    keysOut_ = jack_port_register(keys_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    earsIn_ = jack_port_register(ears_, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(keys_, &JackNoteProbe::KeysCycle, this);
    jack_set_process_callback(ears_, &JackNoteProbe::EarsCycle, this);
    ok_ = keysOut_ && earsIn_ && jack_activate(keys_) == 0 && jack_activate(ears_) == 0 &&
          jack_connect(keys_, jack_port_name(keysOut_), "Korvanto:midi_in") == 0 &&
          jack_connect(ears_, "Korvanto:out_L", jack_port_name(earsIn_)) == 0;
  }
  ~JackNoteProbe() {
    for (jack_client_t* client : {keys_, ears_}) {
      if (!client) continue;
      jack_deactivate(client);
      jack_client_close(client);
    }
  }
  JackNoteProbe(const JackNoteProbe&) = delete;
  JackNoteProbe& operator=(const JackNoteProbe&) = delete;

  bool ok() const { return ok_; }
  int Rate() const { return ok_ ? static_cast<int>(jack_get_sample_rate(keys_)) : 0; }
  // Keys' next cycle writes a kick's note-on (36, channel 10) at this frame
  // of the cycle; false while the last one has not gone yet.
  bool PlayAt(int frameInCycle) {
    int none = -1;
    return notes_.load() < kMostNotes && pending_.compare_exchange_strong(none, frameInCycle);
  }
  // The server's frame each note was written at.
  std::vector<int64_t> Arrivals() const {
    return {arrivals_.begin(), arrivals_.begin() + notes_.load()};
  }
  // The server's frame of the first sample at or after `from` louder than
  // `level` (1: full scale); -1 when none was heard yet.
  int64_t FirstSoundFrom(int64_t from, float level) const {
    const int64_t first = firstHeard_.load();
    if (first < 0) return -1;
    const int64_t end = first + static_cast<int64_t>(heardUpTo_.load());
    for (int64_t frame = std::max(from, first); frame < end; ++frame)
      if (std::abs(heard_[static_cast<size_t>(frame - first)]) > level) return frame;
    return -1;
  }
  // The server's frame up to which out_L was heard.
  int64_t HeardUntil() const {
    const int64_t first = firstHeard_.load();
    return first < 0 ? -1 : first + static_cast<int64_t>(heardUpTo_.load());
  }

 private:
  // Tried again for a while: a server busy with other clients may turn one away.
  static jack_client_t* Open(const char* name) {
    for (int tries = 0; tries < 40; ++tries) {
      jack_status_t status{};
      if (jack_client_t* client = jack_client_open(name, JackNoStartServer, &status)) return client;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
  }

  static int KeysCycle(jack_nframes_t frames, void* self) {
    auto* probe = static_cast<JackNoteProbe*>(self);
    void* buffer = jack_port_get_buffer(probe->keysOut_, frames);
    jack_midi_clear_buffer(buffer);
    const int at = probe->pending_.load();
    if (at < 0) return 0;
    const auto frame = static_cast<jack_nframes_t>(std::clamp(at, 0, static_cast<int>(frames) - 1));
    const uint8_t on[] = {0x99, 36, 127};
    if (jack_midi_event_write(buffer, frame, on, sizeof on) == 0) {
      const int n = probe->notes_.load();
      probe->arrivals_[static_cast<size_t>(n)] = jack_last_frame_time(probe->keys_) + frame;
      probe->notes_.store(n + 1);
    }
    probe->pending_.store(-1);
    return 0;
  }

  // Each block goes where its server frame puts it: a skipped cycle leaves a gap.
  static int EarsCycle(jack_nframes_t frames, void* self) {
    auto* probe = static_cast<JackNoteProbe*>(self);
    const auto* in = static_cast<const float*>(jack_port_get_buffer(probe->earsIn_, frames));
    const int64_t now = jack_last_frame_time(probe->ears_);
    if (probe->firstHeard_.load() < 0) probe->firstHeard_.store(now);
    const int64_t at = now - probe->firstHeard_.load();
    const auto size = static_cast<int64_t>(probe->heard_.size());
    if (at < 0 || at >= size) return 0;
    const int64_t count = std::min<int64_t>(frames, size - at);
    std::copy(in, in + count, probe->heard_.begin() + at);
    probe->heardUpTo_.store(static_cast<size_t>(at + count));
    return 0;
  }

  std::vector<float> heard_;
  std::vector<int64_t> arrivals_;
  jack_client_t* keys_ = nullptr;
  jack_client_t* ears_ = nullptr;
  jack_port_t* keysOut_ = nullptr;
  jack_port_t* earsIn_ = nullptr;
  bool ok_ = false;
  std::atomic<int> pending_{-1};
  std::atomic<int> notes_{0};
  std::atomic<int64_t> firstHeard_{-1};
  std::atomic<size_t> heardUpTo_{0};
};
