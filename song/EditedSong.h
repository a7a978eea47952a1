#pragma once
// The song being edited in the main window: the pattern in the grid (cells,
// name, length, time, tempo, loop count), the play list with its ticks, the
// pattern library it draws from, the 32 sample slots' settings (through
// SlotAccess), the song's file and what is unsaved. Every edit is a command
// that returns what it changed; Apply takes a change back or makes it again.
// The windows only show it and send commands; the players read it.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "pattern/PatternFile.h"
#include "pattern/PatternGrid.h"
#include "pattern/PatternLibrary.h"
#include "pattern/PatternMeter.h"
#include "pattern/SlotAccess.h"
#include "song/PlayList.h"
#include "song/RecoveryFiles.h"
#include "song/SequencerCore.h"
#include "song/SongChange.h"
#include "song/SongSettings.h"
#include "song/UnsavedChanges.h"

class EditedSong {
 public:
  const PatternGrid& Grid() const { return grid_; }
  // For what is no edit: moving the current cell and the selection.
  PatternGrid& Grid() { return grid_; }
  PatternValues Values() const { return {tempo_, loops_}; }
  const PlayList& List() const { return playList_; }
  // The play list's highlight: no edit.
  void SelectEntry(int index) { playList_.Select(index); }
  // Compiles the play list from its selected entry into the play sequence.
  // Each pattern's length and time go to meters when given.
  void CompileInto(Lines& sequence, std::vector<PatternMeter>* meters = nullptr);
  const PatternLibrary& Library() const { return library_; }
  // The song's groove and mix.
  const SongSettings& Settings() const { return settings_; }
  const std::filesystem::path& Home() const { return home_; }
  const std::optional<std::filesystem::path>& SongFile() const { return unsaved_.SongFile(); }
  SlotAccess& Slots() { return slots_ ? *slots_ : noSlots_; }
  // The program's slots, once the sample editor exists; nullptr: none.
  void SetSlots(SlotAccess* slots) { slots_ = slots; }
  // The pattern and song file operations work on these parts.
  SequencerCore Core(Prompts& prompts);

  // Start-up: the home folder and its library; a new pattern and song.
  void StartIn(const std::filesystem::path& home);
  void LoadLibrary() { library_.LoadFromFolder(home_); }

  // ---- what is unsaved ----
  // An empty, unnamed grid is no work to keep, whatever its tempo or loops.
  bool PatternUnsaved() const { return !GridIsBlank() && unsaved_.PatternChanged(grid_, Values()); }
  bool GridIsBlank() const;
  bool SongUnsaved() { return unsaved_.SongChanged(playList_, Slots(), settings_); }
  // A pattern file of that name exists and is not the one the grid was
  // loaded from or saved to: saving would replace another pattern.
  bool OtherPatternsFile(const std::string& name) const;
  // The grid or the song now equals its file (saved, or a new one).
  void PatternMet() { unsaved_.PatternMet(grid_, Values()); }
  void SongMet(std::optional<std::filesystem::path> file);
  // The grid or the list holds work brought back after a crash.
  void PatternRecovered() { unsaved_.PatternRecovered(); }
  void SongRecovered(std::optional<std::filesystem::path> file);
  // The unsaved work in the file layouts, for the recovery copies.
  RecoveryWork UnsavedWork();

  // ---- commands ----
  // A grid operation (PatternGrid's editing rules) as one change.
  SongChange EditGrid(const std::function<void(PatternGrid&)>& operation);
  SongChange SetTempo(int position);
  SongChange SetLoops(int loops);
  // Empties every step's instrument cells and the name; the loop count is 1.
  SongChange ClearPattern();
  // A new pattern of 16 steps in 4s, no name, no file; the tempo stays.
  SongChange NewPattern();
  // A play list or library operation as one change.
  SongChange EditList(const std::function<void(PlayList&, PatternLibrary&)>& operation);
  // Reads a pattern file into the grid: cells, rows, tempo, loops and the
  // slots it names (not undone). The file's error raises with nothing changed.
  SongChange LoadPattern(const std::filesystem::path& file, std::string& slotError);
  // An empty pattern and play list, no file; slots and the library stay.
  SongChange NewSong();
  // Reads a song file: its entries (nothing selected) and slots (not undone).
  SongChange OpenSong(const std::filesystem::path& file, std::string& slotError);
  // The song's groove and mix become settings (plain mix entries dropped).
  SongChange SetSettings(SongSettings settings);
  // Deletes a library pattern's file and every play list entry of it.
  SongChange DeletePattern(const std::string& name);

  void Apply(const SongChange& change, bool undo);

 private:
  // Runs a step that may replace anything and reports all it changed.
  SongChange Record(const std::function<void()>& step);

  std::filesystem::path home_;
  PatternGrid grid_;
  int tempo_ = 60;
  int loops_ = 1;
  PlayList playList_;
  PatternLibrary library_;
  SongSettings settings_;
  UnsavedChanges unsaved_;
  SlotAccess* slots_ = nullptr;
  EmptySlotAccess noSlots_;
};
