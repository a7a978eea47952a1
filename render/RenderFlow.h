#pragma once
// "Render song to wav file", "Export stems..." and "Export MIDI..." from the
// main window: prepare the temporary sounds, compile the play list, ask
// where to write, then render, write the stems or the MIDI file. The window
// supplies its state through a RenderHost; nothing here needs a window.
#include <filesystem>
#include <functional>
#include <vector>

#include "common/Prompts.h"
#include "common/Text.h"
#include "pattern/PatternMeter.h"
#include "render/ExportCoverage.h"
#include "render/RenderPrep.h"
#include "song/SongSettings.h"

class InstrumentTable;
class RenderProgress;
class TWaveCollection;

inline constexpr const char* kRenderDialogTitle = "Save As One Big Lovely WAV File";
inline constexpr const char* kRenderDialogFilter =
    "Audio files (*.wav)|*.WAV|FLAC (*.flac)|*.flac|All files (*.*)|*.*";
inline constexpr const char* kStemsDialogTitle = "Export stems into folder";
inline constexpr const char* kMidiDialogTitle = "Export MIDI";
inline constexpr const char* kMidiDialogFilter = "MIDI files (*.mid)|*.mid";

// The File menu's check boxes.
struct ExportSettings {
  bool loop = false;       // renders and stems exactly the song's length
  bool monoStems = false;  // stems of one channel
};

struct RenderHost {
  std::filesystem::path home;
  const TWaveCollection* kit = nullptr;
  const InstrumentTable* chooser = nullptr;
  std::function<SlotSounds()> slots;
  std::function<bool()> playListEmpty;
  // Compiles the play list from its selected entry into the play sequence
  // (the grid shows the last pattern, the selection moves one up, the song
  // player's position is reset) and returns the sequence.
  std::function<Lines()> compile;
  // The last compile's pattern meters, for the MIDI file's time
  // signatures; none known (4/4) when unset.
  std::function<std::vector<PatternMeter>()> meters;
  // "Play pattern" and "Play, play list"; the line buffer is emptied when
  // they are disabled.
  std::function<void(bool)> setPlayButtonsEnabled;
  // Empties the play sequence at the end.
  std::function<void()> clearPlaySequence;
  // The play list's selected entry (PlayList::kNone when none), its entries'
  // names, and selecting one: a whole song is compiled with none selected.
  std::function<int()> selectedEntry;
  std::function<std::string(int)> entryName;
  std::function<void(int)> selectEntry;
  // The song's name, without extension, that the dialogs suggest; empty
  // for a song not saved yet.
  std::string songName;
  ExportSettings settings;
  // The song's swing and humanize.
  Groove groove;
  // The song's level, mute and solo per kit instrument.
  KitMix mix;
};

// The choice between the two coverages, and the question asking it.
inline constexpr const char* kWholeSongChoice = "Whole song";
inline constexpr const char* kFromSelectedChoice = "From the selected entry";

FileRequest RenderFileRequest(const std::filesystem::path& home);

class RenderFlow {
 public:
  // Each of these covers the whole song, or, when an entry after the first
  // is selected, what the user chooses: the whole song or the play list from
  // that entry on (the question names both and their lengths). The dialog's
  // title says what is covered and how long it plays, and the export ends
  // with one message naming the file, what it covers and its length. A
  // missing folder for the output is made. A request while one runs (its progress lets events run)
  // is ignored and returns at once. Errors are raised to the caller's guard after the window and
  // buttons are restored.
  //
  // The whole render; a loop-exact one tells its length in bars and seconds.
  void RendorClick(RenderHost& host, Prompts& prompts, RenderProgress& progress);
  // Asks for a folder and writes a stem per instrument into it, then says
  // how many were written.
  void ExportStemsClick(RenderHost& host, Prompts& prompts, RenderProgress& progress);
  // Asks for a file and writes the MIDI file; the play buttons and the play
  // sequence are left alone.
  void ExportMidiClick(RenderHost& host, Prompts& prompts);
  bool Running() const { return running_; }

 private:
  // Runs work with the play buttons disabled, unless the play list is empty
  // or another request runs.
  void Run(RenderHost& host, const std::function<void()>& work);

  bool running_ = false;
};
