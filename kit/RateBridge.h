#pragma once
// Hands out frames at a device's rate from a render at the mixers' rate, by
// linear interpolation: a server that came back, or changed, at another rate
// keeps the pitch and the tempo. Its memory is made up front; Pull never
// allocates.
#include <vector>

class RateBridge {
 public:
  // The largest block Pull is asked for.
  explicit RateBridge(int maxFrames);

  // from: the render's rate; to: the device's. Starts afresh.
  void SetRates(int from, int to);
  bool Converts() const { return from_ != to_; }

  // Fills frames interleaved stereo frames at the device's rate; render fills
  // the frames asked of it at the render's rate.
  template <typename Render>
  void Pull(float* out, int frames, Render&& render) {
    const int need = SourceFramesFor(frames);
    if (need > have_) {
      render(source_.data() + 2 * have_, need - have_);
      have_ = need;
    }
    Interpolate(out, frames);
  }

 private:
  int SourceFramesFor(int frames) const;
  void Interpolate(float* out, int frames);

  int maxFrames_;
  int from_ = 1, to_ = 1;
  double step_ = 1.0;    // source frames per device frame
  double position_ = 0;  // in source_, frames
  int have_ = 0;         // frames in source_
  std::vector<float> source_;
};
