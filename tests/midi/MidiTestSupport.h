#pragma once
// A MIDI keyboard and a synthesizer for tests: JACK clients of their own made
// with RtMidi, and a listener that keeps what Korvanto heard.
#include <rtmidi/RtMidi.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/MidiEvent.h"
#include "midi/MidiSendQueue.h"

// Keeps every message heard, with its stamp.
class HeardLog : public MidiListener {
 public:
  void Heard(const MidiEvent& event) override {
    const std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  std::vector<MidiEvent> Events() const {
    const std::lock_guard lock(mutex_);
    return events_;
  }
  // Waits up to the time given (ten seconds: a loaded machine's JACK is slow)
  // for count messages.
  std::vector<MidiEvent> WaitFor(size_t count,
                                 std::chrono::milliseconds most = std::chrono::seconds(10)) const {
    const auto until = std::chrono::steady_clock::now() + most;
    while (Events().size() < count && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return Events();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<MidiEvent> events_;
};

// A keyboard: a JACK client "<name>" with the output port "out".
class TestKeyboard {
 public:
  explicit TestKeyboard(const std::string& name = "Pads") : out_(RtMidi::UNIX_JACK, name) {
    out_.openVirtualPort("out");
  }
  void Send(std::vector<unsigned char> bytes) { out_.sendMessage(&bytes); }

 private:
  RtMidiOut out_;
};

// A synthesizer: a JACK client "<name>" with the input port "in"; keeps what
// arrives with the steady-clock time it arrived.
class TestSynth {
 public:
  struct Arrival {
    int64_t atNs;
    std::vector<unsigned char> bytes;
  };
  explicit TestSynth(const std::string& name = "Synth") : in_(RtMidi::UNIX_JACK, name) {
    in_.setCallback(&TestSynth::Heard, this);
    in_.ignoreTypes(false, false, false);
    in_.openVirtualPort("in");
  }
  std::vector<Arrival> WaitFor(size_t count) {
    for (int i = 0; i < 2000; ++i) {
      {
        const std::lock_guard lock(mutex_);
        if (arrivals_.size() >= count) return arrivals_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::lock_guard lock(mutex_);
    return arrivals_;
  }

 private:
  static void Heard(double, std::vector<unsigned char>* message, void* self) {
    auto* synth = static_cast<TestSynth*>(self);
    const std::lock_guard lock(synth->mutex_);
    synth->arrivals_.push_back({MidiNowNs(), *message});
  }
  RtMidiIn in_;
  std::mutex mutex_;
  std::vector<Arrival> arrivals_;
};
