#pragma once
// Where a player's steps fall: in the frames of the output it plays through.
// The step at song time s sounds at frame f0 + round(s * rate), the time
// summed step by step as the render sums it, so every gap live is the
// render's gap and nothing the device's callbacks do moves a step placed
// already. The clock only says when to make each step's plays.
#include <cstdint>

#include "song/PlaybackSound.h"

class StepClock {
 public:
  using Clock = PlaybackSound::Clock;

  // sound must outlive the clock.
  explicit StepClock(const PlaybackSound& sound) : sound_(sound) {}

  // The first step, as soon as a play made at `now` can sound.
  void Start(Clock::time_point now);
  // The first step at song time `seconds`, song time 0 falling on the
  // output's frameOfZero (a transport's frame 0).
  void StartAt(int64_t frameOfZero, double seconds);
  // Started so: song time 0 falls on this output frame from now on.
  void MoveZero(int64_t frameOfZero) {
    if (onTransport_) firstFrame_ = frameOfZero;
  }
  // The next step comes intervalMs after the current one.
  void Advance(int intervalMs);
  // Reached at `now` more than 30 ms after its place was rendered (the
  // program stalled), the current step and every later one move on by as
  // much, so the steps after it keep their gaps rather than sound together.
  void CatchUp(Clock::time_point now);

  // The plays of each step are made this much ahead of it, so a hit the
  // groove moves earlier than its step can still sound where it is placed.
  // The steps themselves stay where they are.
  void SetLead(double seconds) { leadSeconds_ = seconds; }
  // The frame the current step's plays are due at: its lead before it, not
  // before the first step.
  int64_t DueFrame() const;

  // Where the current step sounds, and when its plays are due.
  PlaybackSound::StepPlace Place() const;
  Clock::time_point CallTime() const;
  // Where a hit moved this far from the current step sounds: the render's
  // sum of the step's time and the move, never before the first step.
  PlaybackSound::StepPlace PlaceMoved(double delaySeconds) const;
  // Seconds of song time from the first step to the current one.
  double SongSeconds() const { return seconds_; }

 private:
  int64_t Frame() const;
  int64_t FrameAt(double seconds) const;
  Clock::time_point CallTimeOf(int64_t frame) const;

  const PlaybackSound& sound_;
  bool onOutput_ = false;     // frames of the output, else of the clock at rate_
  bool onTransport_ = false;  // started by a transport: firstFrame_ is its frame 0
  int rate_ = 48000;
  Clock::time_point start_{};
  int64_t firstFrame_ = 0;
  double seconds_ = 0;
  double leadSeconds_ = 0;
};
