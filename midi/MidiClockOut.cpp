#include "midi/MidiClockOut.h"

#include <algorithm>

namespace {

TimedMidi Realtime(int64_t dueNs, uint8_t status) {
  return {dueNs, {status, 0, 0}, 1};
}

}  // namespace

std::vector<TimedMidi> MidiClockOut::PulsesOfStep(int64_t stepNs, int64_t nextNs) {
  std::vector<TimedMidi> pulses;
  if (nextNs <= stepNs) return pulses;
  const int64_t length = nextNs - stepNs;
  pulses.reserve(kPulsesPerStep);
  // Each pulse from the step's own time, so rounding never adds up.
  for (int i = 0; i < kPulsesPerStep; ++i)
    pulses.push_back(Realtime(stepNs + length * i / kPulsesPerStep, kMidiClockPulse));
  return pulses;
}

TimedMidi MidiClockOut::SongPosition(int64_t dueNs, int64_t steps) {
  const int64_t position = std::clamp<int64_t>(steps, 0, kLastSongPosition);
  return {dueNs,
          {kMidiSongPosition, static_cast<uint8_t>(position & 0x7F),
           static_cast<uint8_t>(position >> 7 & 0x7F)},
          3};
}

std::vector<TimedMidi> MidiClockOut::Start(int64_t firstStepNs) {
  running_ = true;
  steps_ = 0;
  return {SongPosition(firstStepNs, 0), Realtime(firstStepNs, kMidiStart)};
}

std::vector<TimedMidi> MidiClockOut::Step(int64_t stepNs, int64_t nextNs) {
  if (!running_) return {};
  ++steps_;
  return PulsesOfStep(stepNs, nextNs);
}

std::vector<TimedMidi> MidiClockOut::Stop(int64_t atNs) {
  if (!running_) return {};
  running_ = false;
  return {Realtime(atNs, kMidiStop), SongPosition(atNs, steps_)};
}
