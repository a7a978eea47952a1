#pragma once
// Maps clock time to output frames. Callback times jitter, so the mapping is
// a delay-locked loop over them: it follows the device's real rate and phase
// without jumping on each callback.
#include <cstdint>

class OutputClock {
 public:
  // bandwidthHz sets how fast the loop follows the callbacks.
  explicit OutputClock(double bandwidthHz = 0.5) : bandwidth_(bandwidthHz) {}

  // At the start of each block: its clock time (s), first frame and length.
  // Returns how much later than expected the block came (s); 0 for the first.
  // A block asked for right after the previous one (the device pulls
  // several periods in a burst) says nothing about the device's timing: it
  // takes its place in the loop's schedule without moving it.
  double OnBlock(double now, int64_t firstFrame, int frames, int rate, bool backToBack = false);
  // The output frame (fractional) that plays at clock time t.
  double FrameAt(double t) const;
  // The clock time of an output frame, and the clock's seconds per frame.
  double TimeAt(double frame) const { return t0_ + (frame - frame0_) * SecondsPerFrame(); }
  double SecondsPerFrame() const { return (t1_ - t0_) / frames_; }
  // Times the loop restarted, and times it followed the device in one step
  // (a sound server that fell behind and asks for every block later since).
  int64_t Restarts() const { return restarts_; }
  int64_t PhaseSteps() const { return phaseSteps_; }
  bool Ready() const { return ready_; }
  // Frames since the loop last (re)started, this block included.
  int64_t FramesSinceStart() const { return frame0_ + frames_ - startFrame_; }
  void Reset() { ready_ = false; }

 private:
  double FollowStep(double error);

  double bandwidth_;
  int runSide_ = 0, runLength_ = 0;  // callbacks in a row beyond jitter, and on which side
  double runLeast_ = 0;
  bool ready_ = false;
  double t0_ = 0, t1_ = 0, e2_ = 0;  // smoothed start of this and the next block, period
  int64_t frame0_ = 0;
  int64_t startFrame_ = 0;
  int frames_ = 0;
  int64_t restarts_ = 0, phaseSteps_ = 0;
};
