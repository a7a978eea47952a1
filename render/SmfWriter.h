#pragma once
// Standard MIDI Files: tracks of timed events, written as format 1.
#include <cstdint>
#include <string>
#include <vector>

class SmfTrack {
 public:
  // Events at the same tick keep the order of their ranks, then the order
  // they were added in.
  void Add(std::int64_t tick, int rank, std::string bytes);
  void Meta(std::int64_t tick, int type, const std::string& data);
  // The end-of-track event comes at this tick, or after the last event when
  // that is later.
  void EndAt(std::int64_t tick) { end_ = tick; }
  // "MTrk", its length and the events with delta times.
  std::string Chunk() const;

 private:
  struct Event {
    std::int64_t tick;
    int rank;
    std::size_t order;
    std::string bytes;
  };
  std::vector<Event> events_;
  std::int64_t end_ = 0;
};

// A variable-length quantity: seven bits a byte, the high bit set on all but
// the last. Ticks beyond 0x0FFFFFFF don't fit a MIDI file: EConvertError.
std::string VariableLength(std::int64_t value);

// "MThd" with format 1, the track count and the ticks per quarter note, then
// the tracks.
std::string SmfFile(int ticksPerQuarter, const std::vector<SmfTrack>& tracks);
