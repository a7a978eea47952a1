#include "song/HitGroove.h"

#include <random>

#include "common/Text.h"
#include "kit/InstrumentTable.h"

namespace {

constexpr std::size_t kNameLength = 10;
constexpr std::size_t kDigitAt = 11;
constexpr std::uint32_t kTimingDraw = 1;
constexpr std::uint32_t kLoudnessDraw = 2;
constexpr int kLoudnessUnit = 10;  // tenths of a decibel: the widest loudness step

// splitmix64's finaliser: every input bit reaches every output bit.
std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  x ^= x >> 31;
  return x;
}

std::uint64_t NameHash(const std::string& name) {
  std::uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
  for (const unsigned char c : name) {
    hash ^= c;
    hash *= 0x100000001B3ull;
  }
  return hash;
}

// Evenly over -most..most, in whole units.
std::int64_t Spread(std::uint32_t draw, std::int64_t most) {
  return static_cast<std::int64_t>(draw % static_cast<std::uint64_t>(2 * most + 1)) - most;
}

}  // namespace

std::uint32_t GrooveDraw(std::uint32_t seed, std::int64_t row, const std::string& instrument,
                         std::uint32_t which) {
  std::uint64_t x = Mix(seed + 0x9E3779B97F4A7C15ull);
  x = Mix(x ^ static_cast<std::uint64_t>(row));
  x = Mix(x ^ NameHash(instrument));
  x = Mix(x ^ which);
  return static_cast<std::uint32_t>(x >> 32);
}

HitGroove GrooveOfHit(const Groove& groove, const HitSpot& spot) {
  HitGroove hit;
  if (spot.blockRow % 2 == 1) hit.delaySeconds = spot.stepSeconds * groove.swingPercent / 100.0;
  if (groove.timingMs > 0) {
    // Whole microseconds: the same move on every machine.
    const std::int64_t micros =
        Spread(GrooveDraw(groove.seed, spot.songRow, spot.instrument, kTimingDraw),
               groove.timingMs * 1000);
    hit.delaySeconds += static_cast<double>(micros) * 1e-6;
  }
  if (groove.loudnessTenthDb > 0) {
    const std::uint32_t draw =
        GrooveDraw(groove.seed, spot.songRow, spot.instrument, kLoudnessDraw);
    // Evenly spread levels from 0 to the amount, at most a decibel apart: the
    // render prepares a sound once per level it plays at, and few levels
    // keep it fast.
    const int most = groove.loudnessTenthDb;
    const int steps = (most + kLoudnessUnit - 1) / kLoudnessUnit;
    const int step = static_cast<int>(draw % static_cast<std::uint32_t>(steps + 1));
    hit.quieterTenthDb = (step * most + steps / 2) / steps;
  }
  return hit;
}

std::string GrooveInstrumentKey(std::string text) {
  if (text.size() > kNameLength) text[kDigitAt] = ' ';
  return LowerLatin1(InstrumentName(text));
}

double GrooveLeadSeconds(const Groove& groove) {
  return groove.timingMs * 0.001;
}

std::uint32_t FreshGrooveSeed() {
  std::random_device device;
  std::uniform_int_distribution<std::uint32_t> pick(1, Groove::kMostSeed);
  return pick(device);
}
