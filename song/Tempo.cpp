#include "song/Tempo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

int ClampTempoPosition(int position) {
  return std::clamp(position, kMinTempoPosition, kMaxTempoPosition);
}

int StepIntervalFor(double tempo) {
  return 2 * static_cast<int>(std::nearbyint(tempo));
}

double BeatsPerMinuteFor(double tempo) {
  // A step lasts 2 x tempo ms and four steps make a quarter note.
  return 7500.0 / tempo;
}

std::optional<int> PositionForTempoText(const std::string& text) {
  char* end = nullptr;
  const double bpm = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(bpm) || bpm <= 0) return std::nullopt;
  while (*end == ' ') ++end;
  if (*end != '\0') return std::nullopt;
  // Positions are whole: the one whose tempo is nearest, within the bar.
  const double ideal = std::clamp(7500.0 / bpm, 1.0, double(kMaxTempoPosition));
  const int below = static_cast<int>(std::floor(ideal));
  const int above = std::min(below + 1, kMaxTempoPosition);
  return std::abs(BeatsPerMinuteFor(below) - bpm) <= std::abs(BeatsPerMinuteFor(above) - bpm)
             ? below
             : above;
}

std::string TempoText(double beatsPerMinute) {
  char text[32];
  // Halves go up, as a musician reads 156.25 as 156.3.
  std::snprintf(text, sizeof text, "%.1f", std::floor(beatsPerMinute * 10 + 0.5) / 10);
  return text;
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
