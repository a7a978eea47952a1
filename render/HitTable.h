#pragma once
// Where each instrument sounds in a play sequence: the instruments the
// sequence uses and, per instrument, its hits with their times and volume
// levels, found exactly as the render's pass over the sequence finds them.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Text.h"

class InstrumentTable;

// Chooser indexes above 0 that occur in the sequence, in order of first
// occurrence (a text longer than 10 characters is looked up with its 12th
// character blanked).
std::vector<int> UsedInstruments(const Lines& sequence, const InstrumentTable& chooser);

// The instruments cells of the sequence name that the chooser lacks, each
// once, in order of first occurrence, as names without padding and volume.
std::vector<std::string> MissingInstruments(const Lines& sequence, const InstrumentTable& chooser);

struct Hit {
  std::int64_t line = 0;   // index of the hit's line in the sequence
  double time = 0;         // seconds from the first step row
  int level = 0;           // volume digit; 0 where the cell has none
  std::int64_t row = 0;    // step row, counted from 0 over the whole sequence
  int quieterTenthDb = 0;  // the groove's humanize: below its level by this much
};

// The hits of one instrument in sequence order. The first step row is at
// time 0; every further row adds the step length in force at it, a tempo
// line's value × 2 ms. In a kit instrument's pass every line longer than 10
// characters carries a volume digit (a blank counts as 1); any other
// character, or a text of exactly 11 characters, raises EConvertError, as
// does a tempo line that isn't a number. A sequence without "%%%" raises
// "List index out of bounds".
std::vector<Hit> FindHits(const Lines& sequence, const InstrumentTable& chooser, int instrument);

// A pattern header's tempo line: its value holds from this step row on.
struct TempoChange {
  std::int64_t row = 0;
  int tempo = 0;  // the step lasts tempo × 2 ms
};

// The step rows of a sequence, walked as the render walks it.
struct SongSteps {
  std::int64_t rows = 0;
  // Seconds from the first row to where the first row would sound again if
  // the song followed itself: the last row's time plus the first row's step,
  // the sum of every row's step.
  double length = 0;
  std::vector<TempoChange> tempos;
};
// Raises as FindHits does for a tempo line that isn't a number or a missing
// "%%%".
SongSteps StepsOf(const Lines& sequence);

// The mix volume of a kit hit at a volume level: (4000 − 500 × level) / 4000.
double KitHitVolume(int level);
// The mix volume of a slot at a volume in hundredths of a decibel.
double SlotHitVolume(std::int32_t volume);
// Pans of kit entries and slots (hundredths of a decibel) as mix pans.
double HitPan(std::int32_t pan);
