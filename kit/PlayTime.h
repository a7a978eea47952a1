#pragma once
// The moment a Play call stands for. A play made of the moment (a click)
// starts with the next block the device asks for. Code that plays on behalf
// of a step (a timer tick handed over to the UI thread) stamps its plays with
// the step's moment instead, and with the frame the step was placed at in the
// output it plays through, so neither the hand-over's delay nor the clock's
// jitter moves the onsets.
#include <chrono>
#include <cstdint>
#include <optional>

namespace playtime {
using Clock = std::chrono::steady_clock;

struct Moment {
  Clock::time_point at;
  const void* output = nullptr;  // whose frames `frame` counts
  int64_t frame = -1;
  double afterDue = 0;          // seconds after the moment that the plays sound
  int64_t transportFrame = -1;  // a transport's frame the plays sound at; -1: none
};

inline thread_local std::optional<Moment> scoped;

// The stamp of a play made now inside a scope: its moment, never ahead of
// the clock. Nothing outside one.
inline std::optional<Clock::time_point> Stamp() {
  if (!scoped) return std::nullopt;
  const Clock::time_point now = Clock::now();
  return scoped->at <= now ? scoped->at : now;
}

// The stamp for a Play made now: the scoped moment if one is set and not in
// the future, else the clock.
inline Clock::time_point Now() {
  return Stamp().value_or(Clock::now());
}

// The frame the scope placed its plays at, when they go to that output; -1 else.
inline int64_t FrameOn(const void* output) {
  return scoped && scoped->output == output ? scoped->frame : -1;
}

// The transport frame the scope placed its plays at, for that output; -1 else.
inline int64_t TransportFrameOn(const void* output) {
  return scoped && scoped->output == output ? scoped->transportFrame : -1;
}

// How long after the scope's moment its plays sound; 0 outside one.
inline double AfterDue() {
  return scoped ? scoped->afterDue : 0;
}

// Plays made on this thread while it lives are stamped with the given moment.
class Scope {
 public:
  explicit Scope(Clock::time_point at) : Scope(Moment{at}) {}
  explicit Scope(const Moment& moment) : previous_(scoped) { scoped = moment; }
  ~Scope() { scoped = previous_; }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  std::optional<Moment> previous_;
};
}  // namespace playtime
