#pragma once
// How a level meter moves: it jumps up to each new peak and falls back at a
// steady rate in decibels, and a clip mark stays lit until it is cleared.
#include <cmath>

class MeterBallistics {
 public:
  static constexpr double kFloorDb = -60.0;         // the meter's bottom
  static constexpr double kTopDb = 6.0;             // room above full scale
  static constexpr double kFallDbPerSecond = 24.0;  // as program meters fall

  // A peak (1 is full scale) measured over the last `seconds`.
  void Take(float peak, double seconds);
  // The level shown, in dB of full scale, at least the floor.
  double LevelDb() const { return levelDb_; }
  // Where the level stands between the floor (0) and the top (1).
  double Fraction() const { return (levelDb_ - kFloorDb) / (kTopDb - kFloorDb); }
  bool Clipped() const { return clipped_; }
  // A peak at or past full scale, or clipping seen elsewhere (the output's).
  void MarkClip() { clipped_ = true; }
  void ClearClip() { clipped_ = false; }

 private:
  double levelDb_ = kFloorDb;
  bool clipped_ = false;
};

// A peak's level in dB of full scale, held to the meter's floor.
double PeakDb(float peak);
