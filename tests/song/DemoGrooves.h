#pragma once
// The demo patterns in data/demo/, written out as grooves: per channel an
// instrument of the default kit and a step line ('.' rest, 'x' full level,
// '1'..'7' a volume digit, higher is quieter).
#include <string>
#include <vector>

#include "common/Text.h"

struct GrooveTrack {
  std::string instrument;  // the kit name padded to ten characters
  std::string steps;
};

struct DemoGroove {
  std::string name;
  int steps = 16;
  int time = 4;
  int tempoPosition = 60;  // 7200 / BPM
  int loops = 1;
  std::vector<GrooveTrack> tracks;  // at most six, one per channel
};

const std::vector<DemoGroove>& DemoGrooves();
// The demo song's play list.
const std::vector<std::string>& DemoSongEntries();

// The file lines the program's own save writes for a groove, with every
// slot empty ("Blank.wav" at 44100 Hz).
Lines DemoPatternLines(const DemoGroove& groove);
Lines DemoSongLines();
