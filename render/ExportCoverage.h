#pragma once
// What a render or export covers: the whole song, or the play list from its
// selected entry to the end, and how long that plays.
#include <string>

#include "common/Text.h"

struct ExportCoverage {
  static constexpr int kWholeSong = -1;
  int entry = kWholeSong;  // the first entry covered, counted from 0
  std::string name;        // that entry's pattern
  double seconds = 0;
};

// "0:05.1": minutes, then seconds to a tenth.
std::string SongTimeText(double seconds);

// "From entry 4, Funk, to the end: 0:05.1" or "The whole song: 0:09.7".
std::string CoverageText(const ExportCoverage& coverage);

// The compiled sequence from its block-th pattern block (counted from 0) on,
// the end mark kept: what compiling from that entry gives.
Lines BlocksFrom(const Lines& sequence, int block);
