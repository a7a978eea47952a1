#include "song/TransportFollower.h"

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
      armed_ = false;
      const int64_t frameOfZero = seen.outputFrame - seen.position;
      if ((following_ || dismissed_) && frameOfZero == frameOfZero_) return {};
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
