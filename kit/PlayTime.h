#pragma once
// The moment a Play call stands for. Normally the moment of the call; code
// that plays on behalf of an earlier moment (a timer tick handed over to the
// UI thread) stamps its plays with that moment instead, so the hand-over's
// delay does not move the onsets.
#include <chrono>
#include <optional>

namespace playtime {
using Clock = std::chrono::steady_clock;

inline thread_local std::optional<Clock::time_point> scopedTime;

// The stamp for a Play made now: the scoped moment if one is set and not in
// the future, else the clock.
inline Clock::time_point Now() {
  const Clock::time_point now = Clock::now();
  return scopedTime && *scopedTime <= now ? *scopedTime : now;
}

// Plays made on this thread while it lives are stamped with the given moment.
class Scope {
 public:
  explicit Scope(Clock::time_point at) : previous_(scopedTime) { scopedTime = at; }
  ~Scope() { scopedTime = previous_; }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  std::optional<Clock::time_point> previous_;
};
}  // namespace playtime
