#pragma once
// What the grid and the song held when they last met their files: the
// window compares with it to show what isn't saved (a star) and to ask
// before work is replaced. Undoing back to the saved state counts as saved
// again. The song is everything its file holds: the play list and the 32
// slots' files, pitches and pans, and its settings (groove and mix).
#include <filesystem>
#include <optional>
#include <vector>

#include "common/Text.h"
#include "pattern/PatternFile.h"

class PatternGrid;
class PlayList;
class SlotAccess;
struct SongSettings;

class UnsavedChanges {
 public:
  // The grid was saved to or loaded from its file (or is a new pattern).
  void PatternMet(const PatternGrid& grid, PatternValues values);
  bool PatternChanged(const PatternGrid& grid, PatternValues values) const;
  // The name the grid had when it last met its file; empty for none.
  std::string PatternFileName() const {
    return pattern_ && !pattern_->empty() ? pattern_->front() : "";
  }
  // The grid holds work brought back after a crash: unsaved until it meets a file.
  void PatternRecovered() { pattern_.reset(); }

  // The song was saved to or opened from file; no file for a new song.
  void SongMet(const PlayList& playList, SlotAccess& slots, const SongSettings& settings,
               std::optional<std::filesystem::path> file);
  bool SongChanged(const PlayList& playList, SlotAccess& slots, const SongSettings& settings) const;
  const std::optional<std::filesystem::path>& SongFile() const { return songFile_; }
  // The play list holds work brought back after a crash, from the song file
  // named (none for a new song): unsaved until it meets a file.
  void SongRecovered(std::optional<std::filesystem::path> file);

  bool operator==(const UnsavedChanges&) const = default;

 private:
  // Nothing: no file holds what the grid or the list shows.
  std::optional<Lines> pattern_;
  std::optional<Lines> song_;
  std::optional<std::filesystem::path> songFile_;
};

// The window's title: the song's file name when there is one ("Korvanto -
// Demo.sng"), the program's caption otherwise.
std::string SongTitle(const std::optional<std::filesystem::path>& songFile);
