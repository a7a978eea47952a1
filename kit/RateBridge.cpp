#include "kit/RateBridge.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Device rates differ from the render's by no more than this factor.
constexpr int kMostRatio = 8;
}  // namespace

RateBridge::RateBridge(int maxFrames)
    : maxFrames_(maxFrames), source_(2 * (static_cast<size_t>(maxFrames) * kMostRatio + 4)) {}

void RateBridge::SetRates(int from, int to) {
  from_ = from > 0 ? from : 1;
  to_ = to > 0 ? to : from_;
  step_ = std::clamp(static_cast<double>(from_) / to_, 1.0 / kMostRatio, double(kMostRatio));
  position_ = 0;
  have_ = 0;
}

// The source frames up to the one after the block's last position.
int RateBridge::SourceFramesFor(int frames) const {
  frames = std::min(frames, maxFrames_);
  const double last = position_ + (frames - 1) * step_;
  return std::min(static_cast<int>(std::floor(last)) + 2, static_cast<int>(source_.size() / 2));
}

void RateBridge::Interpolate(float* out, int frames) {
  frames = std::min(frames, maxFrames_);
  for (int i = 0; i < frames; ++i) {
    const double at = position_ + i * step_;
    const int j = std::min(static_cast<int>(at), have_ - 2);
    const float f = static_cast<float>(at - j);
    for (int c = 0; c < 2; ++c)
      out[2 * i + c] = source_[2 * j + c] * (1 - f) + source_[2 * (j + 1) + c] * f;
  }
  position_ += frames * step_;
  // What the next block still needs moves to the front.
  const int drop = std::min(static_cast<int>(position_), have_);
  std::memmove(source_.data(), source_.data() + 2 * drop,
               static_cast<size_t>(have_ - drop) * 2 * sizeof(float));
  have_ -= drop;
  position_ -= drop;
}
