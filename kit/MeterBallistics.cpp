#include "kit/MeterBallistics.h"

#include <algorithm>

double PeakDb(float peak) {
  if (!(peak > 0.0f)) return MeterBallistics::kFloorDb;
  return std::clamp(20.0 * std::log10(static_cast<double>(peak)), MeterBallistics::kFloorDb,
                    MeterBallistics::kTopDb);
}

void MeterBallistics::Take(float peak, double seconds) {
  const double fallen = std::max(kFloorDb, levelDb_ - kFallDbPerSecond * std::max(0.0, seconds));
  levelDb_ = std::max(fallen, PeakDb(peak));
  if (peak >= 1.0f) clipped_ = true;
}
