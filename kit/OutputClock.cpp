#include "kit/OutputClock.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double OutputClock::OnBlock(double now, int64_t firstFrame, int frames, int rate, bool backToBack) {
  const double period = static_cast<double>(frames) / rate;
  double late = 0;
  if (ready_ && backToBack && firstFrame == frame0_ + frames_) {
    t0_ = t1_;
    t1_ += e2_;
  } else if (ready_) {
    double error = now - t1_;
    late = error;
    // A gap far beyond jitter (the output was paused) restarts the loop.
    if (std::abs(error) > 8 * period + 0.05 || firstFrame != frame0_ + frames_) {
      ready_ = false;
    } else {
      const double omega = 2 * std::numbers::pi * bandwidth_ * period;
      error -= FollowStep(error);
      // A thread woken late says little about the device: clamping the error
      // makes the loop follow the median of the callback times, not outliers.
      const double kMaxStep = 0.0001;
      error = std::clamp(error, -kMaxStep, kMaxStep);
      t0_ = t1_;
      t1_ += std::numbers::sqrt2 * omega * error + e2_;
      e2_ += omega * omega * error;
    }
  }
  if (!ready_) {
    ready_ = true;
    late = 0;
    e2_ = period;
    t0_ = now;
    t1_ = now + period;
    startFrame_ = firstFrame;
    ++restarts_;
    runSide_ = runLength_ = 0;
  }
  // e2 tracks the length of a nominal block; rescale for this one.
  if (frames != frames_ && frames_ > 0) {
    e2_ = e2_ * frames / frames_;
    t1_ = t0_ + e2_;
  }
  frame0_ = firstFrame;
  frames_ = frames;
  return late;
}

// A sound server that fell behind (its client or itself not scheduled in
// time) asks for every block later from then on: a run of callbacks all late
// (or all early) well beyond jitter is the device moving, which the loop
// takes at once, by the least of the run's errors.
double OutputClock::FollowStep(double error) {
  constexpr double kBeyondJitter = 0.0015;
  constexpr int kRun = 8;
  const int side = error > kBeyondJitter ? 1 : error < -kBeyondJitter ? -1 : 0;
  if (side == 0 || side != runSide_) {
    runSide_ = side;
    runLength_ = 0;
    runLeast_ = error;
  }
  if (side == 0) return 0;
  runLeast_ = side > 0 ? std::min(runLeast_, error) : std::max(runLeast_, error);
  if (++runLength_ < kRun) return 0;
  const double step = runLeast_;
  runSide_ = runLength_ = 0;
  t1_ += step;
  ++phaseSteps_;
  return step;
}

double OutputClock::FrameAt(double t) const {
  return static_cast<double>(frame0_) + (t - t0_) * frames_ / (t1_ - t0_);
}
