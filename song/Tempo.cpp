#include "song/Tempo.h"

#include <algorithm>
#include <cmath>

int ClampTempoPosition(int position) {
  return std::clamp(position, kMinTempoPosition, kMaxTempoPosition);
}

int StepIntervalFor(double tempo) {
  return 2 * static_cast<int>(std::nearbyint(tempo));
}

int BeatsPerMinuteFor(double tempo) {
  // Extended precision, with 7200 as a single-precision constant: the figures
  // users know from the tempo bar depend on it.
  const long double quotient = static_cast<long double>(7200.0f) / static_cast<long double>(tempo);
  return static_cast<int>(std::nearbyintl(quotient));  // default mode: ties to even
}

TempoValues::TempoValues(int startPosition)
    : globalSpeed_(ClampTempoPosition(startPosition)),
      tempo_(globalSpeed_),
      stepInterval_(StepIntervalFor(tempo_)),
      beatsPerMinute_(BeatsPerMinuteFor(tempo_)) {}

void TempoValues::DelayChange(int position) {
  globalSpeed_ = ClampTempoPosition(position);
  FollowForStep(globalSpeed_);
  beatsPerMinute_ = BeatsPerMinuteFor(tempo_);
}

void TempoValues::FollowForStep(int position) {
  tempo_ = ClampTempoPosition(position);
  stepInterval_ = StepIntervalFor(tempo_);
}

int TempoValues::FollowForHeader(int position) {
  tempo_ = ClampTempoPosition(position);
  beatsPerMinute_ = BeatsPerMinuteFor(tempo_);
  return StepIntervalFor(tempo_);
}

void TempoValues::Follow(int position) {
  FollowForStep(position);
  beatsPerMinute_ = BeatsPerMinuteFor(tempo_);
}
