#pragma once
#include <optional>
#include <string>
// Tempo values derived from the tempo bar position: the tempo, the step
// interval the players tick at and the beats-per-minute read-out.

inline constexpr int kMinTempoPosition = 1;
inline constexpr int kMaxTempoPosition = 140;
inline constexpr int kStartTempoPosition = 60;

// The tempo bar keeps its position within its range.
int ClampTempoPosition(int position);
// Milliseconds between steps: twice the rounded tempo.
int StepIntervalFor(double tempo);
// The tempo that plays, in quarter notes a minute: 7500 / tempo (a step of
// 2 x tempo ms, four steps a quarter, as the MIDI export counts them).
double BeatsPerMinuteFor(double tempo);
// The position whose tempo is nearest a typed figure ("90", "93.5");
// nothing for a text that is no positive number.
std::optional<int> PositionForTempoText(const std::string& text);
// A tempo as the program names it: one decimal, "125.0".
std::string TempoText(double beatsPerMinute);

// The tempo values the main window keeps. Positions are clamped as the tempo
// bar clamps them.
class TempoValues {
 public:
  explicit TempoValues(int startPosition = kStartTempoPosition);

  // A user move of the tempo bar: it becomes the global speed, and every
  // value follows it.
  void DelayChange(int position);
  // A pattern step: tempo and step interval follow the bar, the read-out stays.
  void FollowForStep(int position);
  // A song's pattern header: tempo and read-out follow the bar, the step
  // interval stays. Returns the song timer's new interval.
  int FollowForHeader(int position);
  // A loaded pattern: every value but the global speed follows the bar.
  void Follow(int position);

  double Tempo() const { return tempo_; }
  int StepInterval() const { return stepInterval_; }
  double BeatsPerMinute() const { return beatsPerMinute_; }
  int GlobalSpeed() const { return globalSpeed_; }

 private:
  int globalSpeed_;
  double tempo_;
  int stepInterval_;
  double beatsPerMinute_;
};
