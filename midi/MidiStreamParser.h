#pragma once
// Turns the bytes a MIDI port delivers into whole short messages: running
// status is resolved, real-time bytes pass through wherever they stand, SysEx
// and undefined bytes are skipped, and data bytes without a status (garbage)
// are dropped. The state carries over from one delivery to the next.
#include <cstdint>
#include <span>

#include "midi/MidiEvent.h"

class MidiStreamParser {
 public:
  // Calls take(event) for every message completed by the bytes, stamped timeNs.
  template <class Take>
  void Feed(std::span<const uint8_t> bytes, int64_t timeNs, Take&& take) {
    for (const uint8_t byte : bytes) {
      MidiEvent event;
      if (Step(byte, event)) {
        event.timeNs = timeNs;
        take(event);
      }
    }
  }
  // Forgets a message begun and the running status (the port was reconnected).
  void Reset();

 private:
  // True when the byte completes a message, written to event.
  bool Step(uint8_t byte, MidiEvent& event);
  bool StartStatus(uint8_t status, MidiEvent& event);
  bool Complete(MidiEvent& event);

  uint8_t status_ = 0;  // running status or the system common message begun
  uint8_t expected_ = 0;
  uint8_t have_ = 0;
  std::array<uint8_t, 3> bytes_{};
  bool inSysex_ = false;
};

// The length of the message a status byte begins; 0 for bytes that begin none
// (data, SysEx, undefined).
int MidiMessageLength(uint8_t status);
