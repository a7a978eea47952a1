#include "render/SemitoneSteps.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Text.h"

int64_t SemitoneFrequency(int64_t baseFrequency, int offsetCents) {
  const double exact =
      static_cast<double>(baseFrequency) * std::exp2(static_cast<double>(offsetCents) / 1200.0);
  if (std::isnan(exact)) return 0;  // a zero base raised by an endless run of steps
  constexpr double kHighest = std::numeric_limits<int32_t>::max();
  return RoundTiesEven(std::clamp(exact, -kHighest, kHighest));
}

int64_t SlotPitch::Step(int step) {
  // An offset already beyond any audible range stays put rather than overflow.
  const int64_t moved = static_cast<int64_t>(offsetCents) + step;
  if (moved >= std::numeric_limits<int>::min() && moved <= std::numeric_limits<int>::max())
    offsetCents = static_cast<int>(moved);
  return SemitoneFrequency(baseFrequency, offsetCents);
}
