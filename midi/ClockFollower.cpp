#include "midi/ClockFollower.h"

#include <algorithm>
#include <cmath>

#include "song/Tempo.h"

namespace {

constexpr int kPulsesPerStep = 6;
// A pulse this far off the fitted period starts a run; a run this long is a
// new tempo, not jitter.
constexpr double kStrayShare = 0.3;
constexpr int kStrayRun = 4;
constexpr int64_t kGapNs = 500000000;  // no pulse for half a second: the clock stopped

}  // namespace

void ClockFollower::Heard(const MidiEvent& event) {
  if (event.size < 1) return;
  switch (event.bytes[0]) {
    case 0xF8:
      Pulse(event.timeNs);
      return;
    case 0xFA:
      if (OnTransport) OnTransport(MidiTransport::Start);
      return;
    case 0xFB:
      if (OnTransport) OnTransport(MidiTransport::Continue);
      return;
    case 0xFC:
      if (OnTransport) OnTransport(MidiTransport::Stop);
      return;
    default:
      return;
  }
}

std::optional<double> ClockFollower::StepSeconds() const {
  const double held = heldStep_.load(std::memory_order_relaxed);
  if (held <= 0) return std::nullopt;
  return held;
}

void ClockFollower::Restart(int64_t timeNs) {
  count_ = 0;
  next_ = 0;
  strayRun_ = 0;
  times_[next_] = timeNs;
  next_ = 1;
  count_ = 1;
}

void ClockFollower::Pulse(int64_t timeNs) {
  if (count_ == 0) {
    Restart(timeNs);
    return;
  }
  const int64_t last = times_[(next_ + kWindow - 1) % kWindow];
  const int64_t interval = timeNs - last;
  if (interval <= 0 || interval > kGapNs) {
    Restart(timeNs);
    return;
  }
  if (count_ >= kFirstFit) {
    const double period = FittedPeriod();
    const bool stray = std::abs(interval - period) > kStrayShare * period;
    strayRun_ = stray ? strayRun_ + 1 : 0;
    if (strayRun_ >= kStrayRun) {
      // A new tempo: fit afresh from the pulses of the run.
      const int keep = kStrayRun;
      std::array<int64_t, kStrayRun> run{};
      for (int i = 0; i < keep - 1; ++i)
        run[i] = times_[(next_ + kWindow - keep + 1 + i) % kWindow];
      run[keep - 1] = timeNs;
      count_ = 0;
      next_ = 0;
      for (const int64_t t : run) times_[next_++] = t;
      count_ = keep;
      strayRun_ = 0;
      return;
    }
  }
  times_[next_] = timeNs;
  next_ = (next_ + 1) % kWindow;
  count_ = std::min(count_ + 1, kWindow);
  if (count_ >= kFirstFit) Hold(FittedPeriod() * kPulsesPerStep * 1e-9);
}

double ClockFollower::FittedPeriod() const {
  // Least squares over the window, times from the oldest pulse.
  const int oldest = (next_ + kWindow - count_) % kWindow;
  const int64_t t0 = times_[oldest];
  double sumX = 0, sumY = 0, sumXY = 0, sumXX = 0;
  for (int i = 0; i < count_; ++i) {
    const double x = i;
    const double y = static_cast<double>(times_[(oldest + i) % kWindow] - t0);
    sumX += x;
    sumY += y;
    sumXY += x * y;
    sumXX += x * x;
  }
  const double n = count_;
  const double denominator = n * sumXX - sumX * sumX;
  if (denominator <= 0) return 0;
  return (n * sumXY - sumX * sumY) / denominator;
}

void ClockFollower::Hold(double stepSeconds) {
  ++sinceHeld_;
  if (stepSeconds <= 0) return;
  const double held = heldStep_.load(std::memory_order_relaxed);
  if (held > 0 && sinceHeld_ < kPulsesPerStep) return;
  if (held > 0 && std::abs(stepSeconds - held) <= kHold * held) return;
  heldStep_.store(stepSeconds, std::memory_order_relaxed);
  sinceHeld_ = 0;
  if (OnStep) OnStep(stepSeconds);
}

int FollowedTempoPosition(double stepSeconds, int current) {
  const double wanted = stepSeconds * 1000 / 2;  // a position is a 2 ms step
  if (std::abs(wanted - current) <= 0.6) return current;
  return ClampTempoPosition(static_cast<int>(std::lround(wanted)));
}
