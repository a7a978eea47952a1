#pragma once
// A sound output that passes every block through to another and notes, as it
// goes, where each sound begins in the output's frames (the first frame after
// 50 ms of silence) and when the block that holds it was asked for.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

#include "kit/AudioOutput.h"

namespace tapped {

using Clock = std::chrono::steady_clock;

struct Onset {
  int64_t frame = -1;
  // When the device asked for it: its block's callback, plus its place in
  // the block.
  Clock::time_point askedFor;
};

// What the tap saw last; written by the output's thread only.
struct Tap {
  std::atomic<int64_t> frames{0};  // rendered so far
  std::atomic<int64_t> onsetFrame{-1};
  std::atomic<Clock::rep> onsetAskedFor{0};
  std::atomic<Clock::rep> lastBlockTime{0};
  int64_t quiet = 0;

  Onset LastOnset() const {
    return {onsetFrame.load(), Clock::time_point(Clock::duration(onsetAskedFor.load()))};
  }
  Clock::time_point LastBlockTime() const {
    return Clock::time_point(Clock::duration(lastBlockTime.load()));
  }
};

inline Tap& TheTap() {
  static Tap tap;
  return tap;
}

class TappedOutput : public AudioOutput {
 public:
  explicit TappedOutput(std::unique_ptr<AudioOutput> inner) : inner_(std::move(inner)) {}
  bool Open(int preferredRate) override { return inner_->Open(preferredRate); }
  int Rate() const override { return inner_->Rate(); }
  int PeriodFrames() const override { return inner_->PeriodFrames(); }
  bool RealTime() const override { return inner_->RealTime(); }
  void Start(Render render) override {
    const int rate = Rate();
    inner_->Start([render = std::move(render), rate](float* out, int frames) {
      const auto now = Clock::now();
      render(out, frames);
      Tap& tap = TheTap();
      const int64_t first = tap.frames.load();
      for (int f = 0; f < frames; ++f) {
        if (std::abs(out[2 * f]) <= 1e-3f) {
          ++tap.quiet;
          continue;
        }
        if (tap.quiet >= rate / 20) {
          const auto into = std::chrono::duration_cast<Clock::duration>(
              std::chrono::duration<double>(static_cast<double>(f) / rate));
          tap.onsetAskedFor.store((now + into).time_since_epoch().count());
          tap.onsetFrame.store(first + f);
        }
        tap.quiet = 0;
      }
      tap.lastBlockTime.store(now.time_since_epoch().count());
      tap.frames.store(first + frames);
    });
  }
  void Stop() override { inner_->Stop(); }

 private:
  std::unique_ptr<AudioOutput> inner_;
};

}  // namespace tapped
