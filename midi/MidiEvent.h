#pragma once
// What passes between Korvanto's MIDI ports and the parts that play, record,
// follow or send: one short message with the steady-clock time it stands for.
#include <array>
#include <cstdint>
#include <span>

struct MidiEvent {
  int64_t timeNs = 0;  // steady clock: when it arrived, or when it is due
  std::array<uint8_t, 3> bytes{};
  uint8_t size = 0;  // 1..3; SysEx never travels as a MidiEvent
};

// Takes what arrives at midi_in. Called on the MIDI input thread: it must not
// block, allocate or wait for the windows.
class MidiListener {
 public:
  virtual ~MidiListener() = default;
  virtual void Heard(const MidiEvent& event) = 0;
};

// midi_out: sends a message at its due time (0: at once). Messages given in
// time order leave in that order.
class MidiSender {
 public:
  virtual ~MidiSender() = default;
  virtual void SendAt(int64_t dueNs, std::span<const uint8_t> bytes) = 0;
};
