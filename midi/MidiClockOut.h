#pragma once
// MIDI clock from the players' steps: 24 pulses a quarter note, a quarter
// being four steps (as the MIDI file export counts), so six pulses share
// each step's length evenly and every tempo change is followed at once.
// Start, Stop and Song Position Pointer (counted in steps, MIDI's sixteenth
// notes) frame the pulses.
#include <array>
#include <cstdint>
#include <vector>

struct TimedMidi {
  int64_t dueNs = 0;  // steady clock
  std::array<uint8_t, 3> bytes{};
  uint8_t size = 0;
  bool operator==(const TimedMidi&) const = default;
};

inline constexpr uint8_t kMidiClockPulse = 0xF8;
inline constexpr uint8_t kMidiStart = 0xFA;
inline constexpr uint8_t kMidiContinue = 0xFB;
inline constexpr uint8_t kMidiStop = 0xFC;
inline constexpr uint8_t kMidiSongPosition = 0xF2;

class MidiClockOut {
 public:
  static constexpr int kPulsesPerStep = 6;
  static constexpr int64_t kLastSongPosition = 16383;  // 14 bits

  // The pulses of a step that sounds at stepNs and lasts until nextNs; the
  // first one on the step itself. Nothing for a step of no length.
  static std::vector<TimedMidi> PulsesOfStep(int64_t stepNs, int64_t nextNs);
  // Song Position Pointer at a step (held at the largest position MIDI has).
  static TimedMidi SongPosition(int64_t dueNs, int64_t steps);

  // The players started, their first step at firstStepNs: position 0, then
  // Start, both before the first pulse.
  std::vector<TimedMidi> Start(int64_t firstStepNs);
  // One step's pulses; counts the step.
  std::vector<TimedMidi> Step(int64_t stepNs, int64_t nextNs);
  // Stop at atNs, then the position reached, so a Continue resumes there.
  std::vector<TimedMidi> Stop(int64_t atNs);
  bool Running() const { return running_; }
  int64_t StepsPlayed() const { return steps_; }

 private:
  bool running_ = false;
  int64_t steps_ = 0;
};
