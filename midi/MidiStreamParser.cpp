#include "midi/MidiStreamParser.h"

int MidiMessageLength(uint8_t status) {
  if (status < 0x80) return 0;
  if (status < 0xF0) return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
  switch (status) {
    case 0xF1:
    case 0xF3:
      return 2;
    case 0xF2:
      return 3;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF:
      return 1;
    default:
      return 0;  // SysEx begin and end, undefined
  }
}

void MidiStreamParser::Reset() {
  status_ = expected_ = have_ = 0;
  inSysex_ = false;
}

bool MidiStreamParser::Step(uint8_t byte, MidiEvent& event) {
  if (byte >= 0xF8) {
    // Real-time bytes may stand inside any message, SysEx included.
    if (MidiMessageLength(byte) != 1) return false;
    event.bytes = {byte, 0, 0};
    event.size = 1;
    return true;
  }
  if (byte >= 0x80) return StartStatus(byte, event);
  if (inSysex_ || status_ == 0) return false;  // SysEx body, or garbage
  bytes_[have_++] = byte;
  return have_ == expected_ && Complete(event);
}

bool MidiStreamParser::StartStatus(uint8_t status, MidiEvent& event) {
  inSysex_ = status == 0xF0;
  const int length = MidiMessageLength(status);
  status_ = length > 0 ? status : 0;
  expected_ = static_cast<uint8_t>(length);
  bytes_ = {status, 0, 0};
  have_ = 1;
  if (length != 1) return false;
  status_ = 0;  // a one-byte system common message ends running status
  event.bytes = bytes_;
  event.size = 1;
  return true;
}

bool MidiStreamParser::Complete(MidiEvent& event) {
  event.bytes = bytes_;
  event.size = expected_;
  if (status_ >= 0xF0)
    status_ = 0;  // system common messages cancel running status
  else
    have_ = 1;  // the next data bytes run on the same status
  return true;
}
