#pragma once
// Whoever follows the players' beat outside the sound (MIDI out): told where
// each step and each hit sounds, on the UI thread inside the step. It must
// not wait for anything; the players never wait for it.
#include <chrono>
#include <string>

class PlayObserver {
 public:
  using Clock = std::chrono::steady_clock;
  virtual ~PlayObserver() = default;

  // A player started; its first step sounds at `firstStep`.
  virtual void PlayStarted(Clock::time_point firstStep) = 0;
  // The step now playing sounds at `sound`; none of its hits before `earliest`.
  virtual void StepPlaced(Clock::time_point sound, Clock::time_point earliest) = 0;
  // A cell of the step now playing, heard at `sound`, humanized this much quieter.
  virtual void CellPlayed(const std::string& text, Clock::time_point sound, int quieterTenthDb) = 0;
  // The step after the one just played sounds at `next`.
  virtual void NextStepAt(Clock::time_point next) = 0;
  // The player ended by itself: its last step lasts until `end`.
  virtual void PlayEnded(Clock::time_point end) = 0;
  // The user stopped the player at `now`.
  virtual void PlayStopped(Clock::time_point now) = 0;
};
