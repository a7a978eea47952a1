#pragma once
// What the grid and the play list held when they last met their files: the
// window compares with it to show what isn't saved (a star) and to ask
// before closing. Undoing back to the saved state counts as saved again.
#include <filesystem>
#include <optional>
#include <vector>

#include "common/Text.h"
#include "pattern/PatternFile.h"

class PatternGrid;
class PlayList;

class UnsavedChanges {
 public:
  // The grid was saved to or loaded from its file (or is a new pattern).
  void PatternMet(const PatternGrid& grid, PatternValues values);
  bool PatternChanged(const PatternGrid& grid, PatternValues values) const;
  // A playing song set the tempo bar from its pattern's header: that is no
  // edit of the grid's pattern.
  void TempoSetByPlayer(int tempoPosition);
  // The grid holds work brought back after a crash: unsaved until it meets a file.
  void PatternRecovered() { pattern_.reset(); }

  // The play list was saved to or opened from file; no file for a new song.
  void SongMet(const PlayList& playList, std::optional<std::filesystem::path> file);
  bool SongChanged(const PlayList& playList) const;
  const std::optional<std::filesystem::path>& SongFile() const { return songFile_; }
  // The play list holds work brought back after a crash, from the song file
  // named (none for a new song): unsaved until it meets a file.
  void SongRecovered(std::optional<std::filesystem::path> file);

 private:
  // Nothing: no file holds what the grid or the list shows.
  std::optional<Lines> pattern_;
  std::optional<std::vector<std::string>> song_;
  std::optional<std::filesystem::path> songFile_;
};

// The window's title: the song's file name when there is one ("Korvanto -
// Demo.sng"), the program's caption otherwise.
std::string SongTitle(const std::optional<std::filesystem::path>& songFile);
