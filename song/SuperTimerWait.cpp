#include "song/SuperTimerWait.h"

#include <algorithm>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace supertimer {
namespace {

using namespace std::chrono_literals;

// Spins until the reading of `now` reaches due.
template <typename Now>
bool SpinUntil(Sleeper& sleeper, Clock::time_point due, Now now) {
  while (now() < due)
    if (sleeper.Interrupted()) return false;
  return true;
}

// A virtual machine sometimes wakes a sleeper a few hundred microseconds late;
// long intervals can afford to spin through that, short ones can't.
std::chrono::microseconds SpinMarginFor(const WaitOptions& options,
                                        std::chrono::milliseconds interval) {
  const auto scaled = std::chrono::duration_cast<std::chrono::microseconds>(interval) / 256;
  return std::clamp(scaled, options.spinMargin, std::max(options.spinMargin, 1000us));
}

std::optional<WaitEnd> WaitPrecisely(const WaitOptions& options, Sleeper& sleeper,
                                     Clock::time_point due, std::chrono::milliseconds interval) {
  if (!sleeper.SleepUntil(due - SpinMarginFor(options, interval))) return std::nullopt;
  if (!SpinUntil(sleeper, due, [] { return Clock::now(); })) return std::nullopt;
  const auto now = Clock::now();
  return WaitEnd{now, now};
}

std::optional<WaitEnd> SleepThenSpin(Sleeper& sleeper, Clock::time_point due,
                                     std::chrono::milliseconds interval) {
  constexpr auto kSpun = 50ms;
  if (interval > kSpun && !sleeper.SleepUntil(Clock::now() + (interval - kSpun)))
    return std::nullopt;
  if (!SpinUntil(sleeper, due, MillisecondReading)) return std::nullopt;
  return WaitEnd{MillisecondReading(), Clock::now()};
}

}  // namespace

Clock::time_point NextDue(Clock::time_point due, Clock::duration interval,
                          Clock::time_point handedBack, Clock::duration newInterval) {
  constexpr Clock::duration kLeastSleep = 50ms;
  const auto floor = handedBack + std::max(newInterval - kLeastSleep, Clock::duration::zero());
  return std::max(due + interval, floor);
}

std::optional<WaitEnd> WaitForDue(const WaitOptions& options, Sleeper& sleeper,
                                  Clock::time_point due, std::chrono::milliseconds interval) {
  if (options.kind == WaitKind::SleepThenSpin) return SleepThenSpin(sleeper, due, interval);
  return WaitPrecisely(options, sleeper, due, interval);
}

Clock::time_point MillisecondReading() {
  return std::chrono::floor<std::chrono::milliseconds>(Clock::now());
}

void TightenTimerSlack() {
#if defined(__linux__)
  // The default slack lets a sleep end up to 50 us late.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

}  // namespace supertimer
