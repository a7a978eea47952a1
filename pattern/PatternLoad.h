#pragma once
// Reading a pattern file into the editor: cells, shown rows, tempo, loops
// and the sample slots the file names.
#include <filesystem>
#include <string>

#include "pattern/PatternFile.h"

class PatternGrid;
class SlotAccess;

struct PatternLoad {
  PatternValues values;
  // Set when a slot's file could not be loaded: the slots from there on are
  // left as they were; the grid, tempo and loops are loaded all the same.
  std::string slotError;
};

// Raises the file's error (EFOpenError, EConvertError) with nothing changed.
// Otherwise the grid shows L + 2 rows with rows 0..L+2 from the file (later
// rows keep their cells) and each slot line pair that names a file other
// than "Blank.wav" loads that slot. The caller shows values.tempoPosition on
// the tempo bar, values.loops in the loop box and cell (0,0) in the name box.
PatternLoad LoadPatternIntoGrid(const std::filesystem::path& path, PatternGrid& grid,
                                SlotAccess& slots);

// One slot line pair of a pattern file: the file, its frequency as both the
// base and the playing frequency, the slot button's caption, and the sample
// editor comes alive.
void LoadPatternSlot(const SlotLoad& load, SlotAccess& slots);
