#pragma once
// Pitch in semitone steps. A slot keeps the rate its file was opened at (its
// base frequency) and an offset in cents; every step computes the frequency
// afresh from those two, so moving the Pitch bar in between is forgotten.
#include <cstdint>

constexpr int kSemitoneCents = 100;

// Round(base × 2^(cents / 1200)), ties to even, kept within ±INT32_MAX so
// that a long run of steps can never overflow.
int64_t SemitoneFrequency(int64_t baseFrequency, int offsetCents);

// One slot's pitch: the rate its file was opened at and its offset in cents.
// The offset belongs to the slot, not to the file: opening another file only
// changes the base frequency.
struct SlotPitch {
  int64_t baseFrequency = 0;
  int offsetCents = 0;

  // Moves the offset by step cents; returns the frequency the slot takes.
  int64_t Step(int step);
};
