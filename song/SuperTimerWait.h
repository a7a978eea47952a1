#pragma once
// How a timer worker waits for a tick's due time.
#include <chrono>
#include <optional>

namespace supertimer {

using Clock = std::chrono::steady_clock;

enum class WaitKind {
  // Sleeps to the absolute due time, then spins through a short margin.
  Precise,
  // Sleeps all but the last 50 ms of the interval, then spins on a
  // millisecond clock. Kept only to compare against in the benchmark.
  SleepThenSpin,
};

struct WaitOptions {
  WaitKind kind = WaitKind::Precise;
  // Precise only: the least part before the due time that is spun instead of
  // slept. It covers a typical wake-up delay; intervals over 25 ms spin
  // 1/256 of the interval (at most 1 ms) to cover a late one too, for about
  // 0.4% of a core.
  std::chrono::microseconds spinMargin{100};
};

// The worker's way to sleep and to notice that it should stop waiting.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  // Sleeps until the time; false when woken because the wait became void.
  virtual bool SleepUntil(Clock::time_point until) = 0;
  virtual bool Interrupted() const = 0;
};

struct WaitEnd {
  // The clock reading the next due time counts from.
  Clock::time_point reading;
  // When the wait really ended.
  Clock::time_point actual;
};

// When the tick after one due at `due` is due. While ticks are on time that
// is the due time plus the interval the wait used, so wake-up delays never
// add up. The tick handler may have changed the interval or run late; the
// next tick still comes no sooner than the new interval less 50 ms after the
// hand-over returned (nothing less for 50 ms or below), so a stall of the UI
// thread never makes two steps sound together: the schedule starts again
// from there.
Clock::time_point NextDue(Clock::time_point due, Clock::duration interval,
                          Clock::time_point handedBack, Clock::duration newInterval);

// Waits until due; nothing when the wait became void.
std::optional<WaitEnd> WaitForDue(const WaitOptions& options, Sleeper& sleeper,
                                  Clock::time_point due, std::chrono::milliseconds interval);

// A coarse reading of the steady clock, whole milliseconds.
Clock::time_point MillisecondReading();

// Asks the platform to wake the calling thread without deferring its timers.
void TightenTimerSlack();

}  // namespace supertimer
