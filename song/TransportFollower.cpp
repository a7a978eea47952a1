#include "song/TransportFollower.h"

namespace {
// Blocks a stalled client may miss without its song being placed again.
constexpr int64_t kMostSkipped = 8;
}  // namespace

TransportMove TransportFollower::Follow(const TransportSeen& seen, int64_t earliest) {
  switch (seen.state) {
    case TransportSeen::State::Stopped: {
      armed_ = false;
      dismissed_ = false;
      if (!following_) return {};
      following_ = false;
      return {TransportMove::Kind::Stop};
    }
    case TransportSeen::State::Starting: {
      if (armed_ && armedPosition_ == seen.position) return {};
      // A block boundary a play made now still reaches, two blocks more for
      // the hand-over to the server and the first step's call.
      const int period = seen.period > 0 ? seen.period : 1;
      int64_t rollAt = seen.outputFrame + period;
      while (rollAt < earliest + 2 * period) rollAt += period;
      armed_ = true;
      armedPosition_ = seen.position;
      return StartAt(seen.position, rollAt - seen.position, rollAt);
    }
    case TransportSeen::State::Rolling: {
      const bool wasArmed = armed_;
      armed_ = false;
      const int64_t frameOfZero = seen.outputFrame - seen.position;
      if ((following_ || dismissed_) && frameOfZero == frameOfZero_) return {};
      // Rolled later than asked (other clients held it), or blocks of ours
      // the server skipped (xruns): the steps wait for their transport
      // frames, each call a little earlier than needed. Not a relocation.
      const int64_t drift = frameOfZero - frameOfZero_;
      const bool skipped = drift < 0 && -drift <= kMostSkipped * seen.period;
      if (following_ && ((wasArmed && drift > 0) || skipped)) {
        frameOfZero_ = frameOfZero;
        return {TransportMove::Kind::Retime, seen.position, frameOfZero};
      }
      // Started without us, relocated, or rolled later than asked.
      return StartAt(seen.position, frameOfZero, -1);
    }
  }
  return {};
}

TransportMove TransportFollower::StartAt(int64_t position, int64_t frameOfZero, int64_t rollAt) {
  following_ = true;
  dismissed_ = false;
  frameOfZero_ = frameOfZero;
  TransportMove move{TransportMove::Kind::Start, position, frameOfZero, rollAt};
  return move;
}

void TransportFollower::Forget() {
  dismissed_ = following_;
  following_ = false;
}
