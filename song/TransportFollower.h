#pragma once
// Follows a sound server's transport (JACK's): decides from what the output
// saw of it at its last block when the song starts, where, and when it stops.
// A start is placed so the transport's frame 0 falls on a fixed output frame:
// every step then sounds on the transport's own frame.
#include <cstdint>

struct TransportSeen {
  enum class State { Stopped, Starting, Rolling };
  State state = State::Stopped;
  int64_t position = 0;     // transport frame at the block's first frame
  int64_t outputFrame = 0;  // the output's own frame there
  int period = 256;         // the server's block
};

struct TransportMove {
  // Retime: the song plays on, its steps' calls placed by frameOfZero now.
  enum class Kind { None, Start, Stop, Retime };
  Kind kind = Kind::None;
  int64_t position = 0;     // Start: the transport frame the song starts from
  int64_t frameOfZero = 0;  // Start: the output frame of the transport's frame 0
  // Start while the transport waits for its clients: the output frame it
  // should roll at, a whole number of blocks ahead; -1: it rolls already.
  int64_t rollAt = -1;
};

class TransportFollower {
 public:
  // earliest: the first output frame a play made now can still sound at.
  TransportMove Follow(const TransportSeen& seen, int64_t earliest);
  // Whether the song playing was started by the transport.
  bool Following() const { return following_; }
  // The song stopped by other means (the user, its end) while the transport
  // rolls on: it starts again only when the transport moves or starts anew.
  void Forget();

 private:
  TransportMove StartAt(int64_t position, int64_t frameOfZero, int64_t rollAt);

  bool following_ = false;
  int64_t frameOfZero_ = 0;
  bool armed_ = false;
  int64_t armedPosition_ = 0;
  bool dismissed_ = false;
};
