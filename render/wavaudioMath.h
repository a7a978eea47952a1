#pragma once
// Floating-point steps of the wave buffer that must fail loudly instead of
// producing infinities, NaNs or wrapped integers.
#include <cmath>
#include <cstdint>
#include <limits>

#include "render/wavaudioErrors.h"

namespace wavaudio {

// a / b, raising as the runtime does for a zero divisor.
inline double Divide(double a, double b) {
  if (b == 0) {
    if (a == 0 || std::isnan(a)) throw EInvalidOp();
    throw EZeroDivide();
  }
  return a / b;
}

// Nearest integer, ties to even; EInvalidOp when the value is not finite or
// does not fit a 32-bit frame number.
inline std::int32_t RoundToInt32(double value) {
  if (!std::isfinite(value)) throw EInvalidOp();
  const double r = std::nearbyint(value);
  if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
    throw EInvalidOp();
  return static_cast<std::int32_t>(r);
}

// Nearest integer, ties to even, for the mixing loop: the same result as
// std::nearbyint in the default rounding mode, without a library call. Values
// beyond +-2^20 are cut there first; every sum with a 16-bit sample clamps the
// same either way.
inline std::int32_t RoundForMix(double value) {
  constexpr double kLimit = 1048576.0;
  constexpr double kShifter = 6755399441055744.0;  // 1.5 * 2^52
  if (value > kLimit) value = kLimit;
  if (value < -kLimit) value = -kLimit;
  // Adding 1.5 * 2^52 leaves no fraction bits, so the addition itself rounds.
  return static_cast<std::int32_t>((value + kShifter) - kShifter);
}

}  // namespace wavaudio
