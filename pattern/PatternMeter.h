#pragma once
// How a pattern groups its steps, as its header says: L steps, a star every
// T steps. A compiled song keeps one per pattern block, from its first row.
#include <cstdint>

struct PatternMeter {
  std::int64_t firstRow = 0;  // step row of the song the pattern starts at
  int steps = 16;             // "Length:"
  int time = 4;               // "Time:", steps per group
  bool operator==(const PatternMeter&) const = default;
};
