#include "render/ExportCoverage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "song/Compile.h"

std::string SongTimeText(double seconds) {
  const long tenths = std::lround(std::max(0.0, seconds) * 10);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
  return text;
}

std::string CoverageText(const ExportCoverage& coverage) {
  const std::string length = SongTimeText(coverage.seconds);
  if (coverage.entry == ExportCoverage::kWholeSong) return "The whole song: " + length;
  return "From entry " + std::to_string(coverage.entry + 1) + ", " + coverage.name +
         ", to the end: " + length;
}

Lines BlocksFrom(const Lines& sequence, int block) {
  int seen = -1;
  auto from = sequence.begin();
  for (; from != sequence.end(); ++from) {
    if (*from == kEndOfSong) break;
    if (*from == kPatternHeader && ++seen == block) break;
  }
  return Lines(from, sequence.end());
}
