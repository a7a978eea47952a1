#pragma once
// Where a playing song is, for the status bar: the play list entry of a
// position in the compiled sequence, its pass, and the time from the song's
// start, counted as the render counts it (each row a tempo × 2 ms step).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/Text.h"
#include "pattern/PatternMeter.h"
#include "song/SongTimeline.h"

struct SongPlace {
  int entry = 0;  // counted from 1 over the whole play list
  int entries = 0;
  std::string name;
  int pass = 1;
  int passes = 1;
  int step = 0;        // the row within its pass, from 0
  double seconds = 0;  // from the compiled song's first row to this row
  double length = 0;   // the compiled song's
};

class SongMap {
 public:
  SongMap() = default;
  // sequence and its meters as compiled from the play list entry firstEntry
  // (counted from 0) on; names: the whole play list's, in order.
  SongMap(std::span<const std::string> sequence, const std::vector<PatternMeter>& meters,
          int firstEntry, std::vector<std::string> names);

  bool Empty() const { return blocks_.empty(); }
  // The place of the step row holding the sequence position; nothing
  // meaningful for an empty map.
  SongPlace At(std::int64_t position) const;
  // The same blocks as bars and beats, for a transport.
  SongTimeline Timeline() const;

 private:
  struct Block {
    std::int64_t firstLine = 0;  // the first cell of its first row
    std::int64_t rows = 0;
    int steps = 0;     // rows a pass
    double start = 0;  // seconds
    double step = 0;   // seconds a row
    int time = 4;      // rows a beat
  };
  std::vector<Block> blocks_;
  int firstEntry_ = 0;
  std::vector<std::string> names_;
  double length_ = 0;
};

// "3/9 Funk, pass 2 of 4"; a pattern played once has no pass.
std::string SongPlaceEntryText(const SongPlace& place);
// "0:05.1 / 0:09.7".
std::string SongPlaceTimeText(const SongPlace& place);
