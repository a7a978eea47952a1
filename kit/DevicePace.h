#pragma once
// How fast a sound device's clock runs against the steady clock, from the
// callbacks: a least-squares line through their (frame, time) points, the
// older ones weighing less. A cheap crystal, or a sound server that rounds
// its timing, runs a few hundred parts per million off.
#include <cstdint>

class DevicePace {
 public:
  // memorySeconds: how long a callback goes on counting (to 1/e).
  explicit DevicePace(double memorySeconds = 20.0) : memory_(memorySeconds) {}

  // A block of the device's frames started at frame, asked for at seconds.
  void Add(double seconds, int64_t frame, int rate);
  // Frames per clock second over rate; 1 until some seconds have been seen.
  double Pace(int rate) const;
  void Reset() { *this = DevicePace(memory_); }

 private:
  double memory_;
  bool started_ = false;
  double lastSeconds_ = 0;
  int64_t lastFrame_ = 0;
  double seen_ = 0;  // seconds of device time the sums cover
  // Weighted sums about the newest point: x in frames, y in seconds.
  double n_ = 0, x_ = 0, y_ = 0, xx_ = 0, xy_ = 0;
};
