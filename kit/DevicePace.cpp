#include "kit/DevicePace.h"

#include <cmath>

namespace {
// Less than this and the line is mostly jitter.
constexpr double kLeastSeconds = 2.0;
}  // namespace

void DevicePace::Add(double seconds, int64_t frame, int rate) {
  if (started_) {
    // Move the origin to the new point, so the sums stay small however long
    // the device runs, then let the old points fade.
    const double dx = static_cast<double>(frame - lastFrame_);
    const double dy = seconds - lastSeconds_;
    xy_ += -dx * y_ - dy * x_ + dx * dy * n_;
    xx_ += -2 * dx * x_ + dx * dx * n_;
    x_ -= dx * n_;
    y_ -= dy * n_;
    const double fade = std::exp(-dx / rate / memory_);
    n_ *= fade;
    x_ *= fade;
    y_ *= fade;
    xx_ *= fade;
    xy_ *= fade;
    seen_ += dx / rate;
  }
  started_ = true;
  lastSeconds_ = seconds;
  lastFrame_ = frame;
  n_ += 1;
}

double DevicePace::Pace(int rate) const {
  if (seen_ < kLeastSeconds) return 1.0;
  const double secondsPerFrame = (n_ * xy_ - x_ * y_) / (n_ * xx_ - x_ * x_);
  if (!(secondsPerFrame > 0)) return 1.0;
  return 1.0 / (secondsPerFrame * rate);
}
