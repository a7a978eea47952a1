#pragma once
// The File menu's song commands: new, save and open.
#include <filesystem>
#include <optional>
#include <string>

#include "common/Prompts.h"

class PatternGrid;
class PlayList;
class SlotAccess;
struct SequencerCore;

inline constexpr const char* kSongFilter = "*.sng|*.sng";
inline constexpr const char* kSongSuffix = "sng";
inline constexpr const char* kNewSongCaption = "Korvanto Pro v6.0";

FileRequest SongFileRequest(const std::filesystem::path& home);

// Empties the instrument cells of rows 2..66 and the name cell, and the play
// list. The caller empties the name box and sets the window caption to
// kNewSongCaption. Playback, loops and slots stay.
void NewSong(PatternGrid& grid, PlayList& playList);

// Asks for a file (a name without extension gets ".sng"; the dialog asks
// before replacing a file) and writes the play list and the 32 slot blocks
// to it; returns the file written. Nothing when the dialog was cancelled, or
// for a name with another extension than ".sng" (told: a song never lands in
// a pattern or kit file). EFCreateError when it can't be written; an
// existing file is replaced only by a complete new one. The dialog starts in
// the home and suggests the song's name (songName, without extension). A
// file outside the home is written only when the user agrees that its
// patterns stay in the home (Collect song is offered instead).
std::optional<std::filesystem::path> SaveSong(SequencerCore& core,
                                              const std::string& songName = "");
// "Beat.sng" is saved outside the home...: the question asked before a song
// is saved away from its patterns.
std::string SongOutsideHomeQuestion(const std::filesystem::path& path,
                                    const std::filesystem::path& home);
// Writes the song to a file of its own, without asking.
void SaveSongTo(SequencerCore& core, const std::filesystem::path& path);

// "notes.txt": "A song is saved as a .sng file, not as 'notes.txt'."
std::string SongExtensionRefusal(const std::filesystem::path& path);

struct SongSettings;

struct SongOpen {
  std::filesystem::path file;
  // Set when a slot's file could not be loaded: the entries and the slots
  // before it are loaded, the later ones are as they were.
  std::string slotError;
};

// Asks for a file and loads it: the play list becomes its entries (nothing
// selected), and each slot block present loads its slot. Nothing when the
// dialog was cancelled. A file that can't be read (EFOpenError) or with a
// bad number (EConvertError) raises before anything changes.
std::optional<SongOpen> OpenSong(SequencerCore& core);
// The same for a song file named without a dialog.
SongOpen OpenSongFile(SequencerCore& core, const std::filesystem::path& path);
// settings, when given, become the song's groove and mix.
SongOpen LoadSongFile(const std::filesystem::path& path, PlayList& playList, SlotAccess& slots,
                      SongSettings* settings = nullptr);
