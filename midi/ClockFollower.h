#pragma once
// Follows an incoming MIDI clock: the step length from the 0xF8 pulses (six
// a step, 24 a quarter note), smoothed so jitter in their arrival does not
// move it, and Start / Continue / Stop. Fed on the MIDI input thread; it
// never blocks or allocates there and tells its listeners from that thread.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "midi/MidiEvent.h"

enum class MidiTransport { Start, Continue, Stop };

class ClockFollower : public MidiListener {
 public:
  static constexpr int kWindow = 48;      // pulses fitted: two quarter notes
  static constexpr int kFirstFit = 24;    // pulses before a first tempo: a quarter
  static constexpr double kHold = 0.004;  // a step within this share holds

  // Told on the MIDI thread when the held step length changes (seconds), at
  // most once a step however wild the pulses; must not block (hand it to
  // the UI thread).
  std::function<void(double stepSeconds)> OnStep;
  std::function<void(MidiTransport)> OnTransport;

  void Heard(const MidiEvent& event) override;

  // The held step length; nothing before enough pulses came. Any thread.
  std::optional<double> StepSeconds() const;

 private:
  void Pulse(int64_t timeNs);
  void Restart(int64_t timeNs);
  // The pulse period the last pulses fit best (least squares), in ns.
  double FittedPeriod() const;
  void Hold(double stepSeconds);

  std::array<int64_t, kWindow> times_{};
  int count_ = 0;      // pulses in the window
  int next_ = 0;       // where the next pulse goes
  int strayRun_ = 0;   // pulses in a row far from the fitted period
  int sinceHeld_ = 0;  // pulses since the held step last changed
  std::atomic<double> heldStep_{0};
};

// The tempo bar position for a followed step length: the nearest one (a step
// is 2 ms a position), kept at current while the step is within 0.6 of a
// position of it, so a clock between two positions does not flap.
int FollowedTempoPosition(double stepSeconds, int current);
