#pragma once
// Work that survives a crash. While the grid or the play list differs from
// its file, the main window keeps a copy of it in temp/recovery/ of the home
// folder, in the program's own layouts: pattern.pat for the grid, song.sng
// for the play list with its 32 slot blocks (files, pitches, pans), and
// song.name holding the path of the song file the play list belongs to
// (empty for a new song). A clean end removes them, so files found at
// start-up are work of a run that did not end cleanly.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/Text.h"
#include "pattern/PatternFile.h"

class PatternGrid;
class PlayList;
class Prompts;
class SlotAccess;
class UnsavedChanges;
struct SongSettings;

inline constexpr const char* kRecoveryQuestion =
    "Korvanto did not close properly. Restore the pattern and play list you were working on?";
inline constexpr const char* kRecoveryCaption = "Korvanto";
inline constexpr const char* kOwnRecoveryNote =
    "Korvanto could not lock this folder for itself (another Korvanto may use it): your unsaved "
    "work is copied to ";

// The unsaved work in the file layouts: nothing where it equals its file.
struct RecoveryWork {
  std::optional<Lines> pattern;
  // The grid's length is no number: no pattern file can hold it, and the
  // copy written last stays.
  bool patternUnwritable = false;
  std::optional<Lines> song;
  std::optional<std::filesystem::path> songFile;  // the play list's own file
};

RecoveryWork UnsavedWork(const UnsavedChanges& unsaved, const SongSettings& settings,
                         const PatternGrid& grid, PatternValues values, const PlayList& playList,
                         SlotAccess& slots);

class RecoveryFiles {
 public:
  static constexpr const char* kSharedFolder = "recovery";
  // The copies of the program holding the home's lock are in temp/recovery;
  // a program without it (forced, or a file system without locks, or one
  // that left found copies for later) keeps its own in temp/recovery-PID.
  explicit RecoveryFiles(const std::filesystem::path& home,
                         const std::string& folder = kSharedFolder);
  static std::string OwnFolder(long pid);
  // The folders under temp/ holding copies: the shared one first.
  static std::vector<std::string> FoundIn(const std::filesystem::path& home);

  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path PatternFile() const { return folder_ / "pattern.pat"; }
  std::filesystem::path SongFile() const { return folder_ / "song.sng"; }
  std::filesystem::path SongNameFile() const { return folder_ / "song.name"; }

  // A run that did not end cleanly left work here.
  bool Found() const;
  // The song file the recovered play list belongs to; nothing for a new song.
  std::optional<std::filesystem::path> RecoveredSongFile() const;

  // Brings each copy up to date: a part that changed since it was last
  // written is written (a temporary file, then a rename), a part that is
  // saved now is removed. EFCreateError when a file can't be written.
  void Keep(const RecoveryWork& work);
  // The clean end, or the user's No: every copy goes.
  void Remove();

 private:
  std::filesystem::path folder_;
  std::optional<Lines> writtenPattern_;
  std::optional<Lines> writtenSong_;  // song.name's line first, then song.sng's lines
};

// Start-up with copies found: asks once, Restore or Discard. Restore runs
// restore (which marks the work unsaved), Discard removes the copies. False
// when the question was dismissed (Escape, the close button, a signal): the
// copies are left for the next start.
bool OfferRecoveredWork(RecoveryFiles& files, Prompts& prompts,
                        const std::function<void()>& restore);
