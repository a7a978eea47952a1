#pragma once
// The pattern file, one value a line: the grid cells of rows 0..L+2, seven a
// row; the tempo bar position; the loop count; then for each of the 32
// sample slots its file name and its playback frequency. L is line 2.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Text.h"

class PatternGrid;
class SlotAccess;

// What a pattern file holds beside its cells.
struct PatternValues {
  int tempoPosition = 60;
  int loops = 1;
  bool operator==(const PatternValues&) const = default;
};

// A slot line pair that names a file: the slot loads it at that frequency.
struct SlotLoad {
  int slot = 0;
  std::string path;
  int64_t frequency = 0;
};

struct PatternFileData {
  int steps = 0;
  Lines cells;                      // 7(L+3) texts, row by row; lines the file lacks are empty
  PatternValues values;             // tempo within the bar's range, loops at least 1
  std::vector<SlotLoad> slotLoads;  // "Blank.wav" slots are left out
};

inline constexpr int kPatternColumns = 7;

// Number of cell lines of a pattern of steps steps.
int64_t PatternCellLines(int steps);

// The lines a save writes: 7(L+3) cells, tempo, loops and 32 slot pairs.
Lines BuildPatternLines(const PatternGrid& grid, int steps, PatternValues values,
                        SlotAccess& slots);

// Every number of the file is checked before the result is made, so a
// broken file raises ELineError (naming the line) and nothing is half applied. A missing
// slot section, or one ending early, leaves the later slots out.
PatternFileData ParsePatternLines(const Lines& lines, bool withSlots);

// EFOpenError for a file that can't be read; a broken one's ELineError names
// the file: "Rock.pat, line 3: 'sixteen' is not a valid integer value".
PatternFileData ReadPatternFile(const std::filesystem::path& path, bool withSlots);

// Cells into rows 0..L+2; rows beyond keep theirs, the shown rows stay.
void PutPatternCells(const PatternFileData& data, PatternGrid& grid);
