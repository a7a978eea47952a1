#include "song/DemoGrooves.h"

#include "pattern/PatternFile.h"
#include "pattern/PatternGrid.h"
#include "pattern/SlotAccess.h"
#include "song/SongFile.h"

namespace {

using EmptySlots = EmptySlotAccess;

std::string Cell(const std::string& instrument, char step) {
  return instrument + "[" + (step == 'x' ? ' ' : step) + "]";
}

}  // namespace

const std::vector<DemoGroove>& DemoGrooves() {
  static const std::vector<DemoGroove> grooves = {
      {"Rock",
       16,
       4,
       60,
       4,
       {{"Kick      ", "x.....x.x.3....."},
        {"Snare     ", "....x......6x..6"},
        {"ClsHiat   ", "3.5.3.5.3.5.3.5."},
        {"OpHiat    ", "..............4."}}},
      {"Fill",
       16,
       4,
       60,
       1,
       {{"Kick      ", "x...x...x...x..."},
        {"Snare     ", "2525........2323"},
        {"Tom1      ", "....2525........"},
        {"Tom2      ", "........2525...."},
        {"Cymbol1   ", "...............3"}}},
      {"Funk",
       16,
       4,
       72,
       4,
       {{"Kick      ", "x..x..x...x..x.."},
        {"Snare     ", "....x..6.6..x..6"},
        {"ClsHiat   ", "3636363636363636"},
        {"OpHiat    ", "..............4."},
        {"Cowbell   ", "5.......5......."}}},
      {"HipHop",
       16,
       4,
       80,
       4,
       {{"Kick      ", "x......x..x....."},
        {"Snare     ", "....x..6.6..x..6"},
        {"ClsHiat   ", "3.3.3.3.3.3.3.35"},
        {"Rimshot   ", "..........5....."}}},
      {"BossaNova",
       16,
       4,
       64,
       4,
       {{"Kick      ", "3..53..53..53..5"},
        {"Rimshot   ", "x..x..x...x..x.."},
        {"Shaker    ", "4646464646464646"},
        {"Cymbol2   ", "5...5...5...5..."},
        {"Congo     ", "......4.....4.4."}}},
      {"House",
       16,
       4,
       58,
       4,
       {{"Kick      ", "x...x...x...x..."},
        {"Crack     ", "....2.......2..."},
        {"OpHiat    ", "..3...3...3...3."},
        {"ClsHiat   ", ".6.6.6.6.6.6.6.6"},
        {"Shaker    ", "5767576757675767"},
        {"Tamb      ", "....4.......4..."}}},
      {"Breakbeat",
       32,
       4,
       53,
       2,
       {{"Kick      ", "x.x.......xx....x.x.......x....."},
        {"Snare     ", "....x..5.5..x..5....x..5.5....x."},
        {"Cymbol2   ", "3.3.3.3.3.3.3.3.3.3.3.3.3.3.3.3."},
        {"OpHiat    ", "..........................4....."},
        {"Cymbol1   ", "x..............................."}}},
  };
  return grooves;
}

const std::vector<std::string>& DemoSongEntries() {
  static const std::vector<std::string> entries = {
      "Rock", "Fill", "Funk", "HipHop", "Fill", "BossaNova", "House", "Breakbeat", "Fill", "Rock"};
  return entries;
}

Lines DemoPatternLines(const DemoGroove& groove) {
  PatternGrid grid;
  grid.WriteNewPattern(groove.steps, groove.time);
  grid.SetCell(0, 0, groove.name);
  for (size_t channel = 0; channel < groove.tracks.size(); ++channel) {
    const GrooveTrack& track = groove.tracks[channel];
    for (int step = 0; step < groove.steps; ++step)
      if (track.steps.at(step) != '.')
        grid.SetCell(static_cast<int>(channel) + 1, PatternGrid::kFirstStepRow + step,
                     Cell(track.instrument, track.steps[step]));
  }
  EmptySlots slots;
  return BuildPatternLines(grid, groove.steps, {groove.tempoPosition, groove.loops}, slots);
}

Lines DemoSongLines() {
  EmptySlots slots;
  return BuildSongLines(DemoSongEntries(), slots);
}
