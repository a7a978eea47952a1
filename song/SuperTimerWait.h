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
  // Precise only: the part before the due time that is spun instead of slept.
  // It covers a typical wake-up delay; measured, it keeps ticks within tens of
  // microseconds for under 0.1% of a core at 120 ms.
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

// Waits until due; nothing when the wait became void.
std::optional<WaitEnd> WaitForDue(const WaitOptions& options, Sleeper& sleeper,
                                  Clock::time_point due, std::chrono::milliseconds interval);

// A coarse reading of the steady clock, whole milliseconds.
Clock::time_point MillisecondReading();

// Asks the platform to wake the calling thread without deferring its timers.
void TightenTimerSlack();

}  // namespace supertimer
