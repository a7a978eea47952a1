#include "song/UnsavedChanges.h"

#include <algorithm>

#include "common/Exception.h"
#include "pattern/PatternGrid.h"
#include "song/PlayList.h"
#include "song/SongFile.h"
#include "song/SongMenu.h"

namespace {

// Everything a save of the grid writes but the slots: cells of rows
// 0..L+2, tempo and loops. A length that isn't a number compares its row 0.
Lines PatternState(const PatternGrid& grid, PatternValues values) {
  int steps = 0;
  try {
    steps = std::clamp(grid.StepCount(), 0, PatternGrid::kMaxSteps);
  } catch (const EConvertError&) {
  }
  Lines lines;
  for (int row = 0; row <= (steps > 0 ? steps + 2 : 0); ++row)
    for (int col = 0; col < PatternGrid::kColumns; ++col) lines.push_back(grid.Cell(col, row));
  lines.push_back(std::to_string(values.tempoPosition));
  lines.push_back(std::to_string(values.loops));
  return lines;
}

}  // namespace

void UnsavedChanges::PatternMet(const PatternGrid& grid, PatternValues values) {
  pattern_ = PatternState(grid, values);
}

bool UnsavedChanges::PatternChanged(const PatternGrid& grid, PatternValues values) const {
  return !pattern_ || PatternState(grid, values) != *pattern_;
}

void UnsavedChanges::SongMet(const PlayList& playList, SlotAccess& slots,
                             const SongSettings& settings,
                             std::optional<std::filesystem::path> file) {
  song_ = BuildSongLines(playList.Names(), slots, settings);
  songFile_ = std::move(file);
}

bool UnsavedChanges::SongChanged(const PlayList& playList, SlotAccess& slots,
                                 const SongSettings& settings) const {
  return !song_ || BuildSongLines(playList.Names(), slots, settings) != *song_;
}

void UnsavedChanges::SongRecovered(std::optional<std::filesystem::path> file) {
  song_.reset();
  songFile_ = std::move(file);
}

std::string SongTitle(const std::optional<std::filesystem::path>& songFile) {
  if (!songFile) return kNewSongCaption;
  return "Korvanto - " + songFile->filename().string();
}
