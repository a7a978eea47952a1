#pragma once
// Tempo values derived from the tempo bar position: the tempo, the step
// interval the players tick at and the beats-per-minute read-out.

inline constexpr int kMinTempoPosition = 1;
inline constexpr int kMaxTempoPosition = 140;
inline constexpr int kStartTempoPosition = 60;

// The tempo bar keeps its position within its range.
int ClampTempoPosition(int position);
// Milliseconds between steps: twice the rounded tempo.
int StepIntervalFor(double tempo);
// The read-out under "BPM": 7200 / tempo, ties to even (64 shows 112).
int BeatsPerMinuteFor(double tempo);

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
  int BeatsPerMinute() const { return beatsPerMinute_; }
  int GlobalSpeed() const { return globalSpeed_; }

 private:
  int globalSpeed_;
  double tempo_;
  int stepInterval_;
  int beatsPerMinute_;
};
