#pragma once
// The command line's songs: "korvanto render|midi SONG.sng|PATTERN.pat ..."
// and "korvanto collect SONG.sng DIR", run in a home folder as the program
// is: the kit "power.dxg" with the pans of "Panning.dat", the sample slots as
// "Blank.wav" until the song or pattern loads its own, then the render's
// preparation and assembly, the stems, the MIDI file or the collection.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/Text.h"
#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "pattern/PatternMeter.h"
#include "render/RenderPrep.h"
#include "render/Stems.h"
#include "song/CollectSong.h"
#include "song/SongSettings.h"

class RenderProgress;

// A song file, or a single pattern as the one entry of a play list.
struct CommandLineSong {
  TWaveCollection kit;
  InstrumentTable chooser;
  SlotSounds slots;
  Lines sequence;
  std::vector<PatternMeter> meters;           // each pattern block's length and time
  std::vector<std::filesystem::path> inputs;  // the files it was read from
  SongSettings settings;                      // a song file's groove and mix
};

enum class SlotFiles { Read, Skip };

// Raises the first error: a kit, song, pattern or (when read) sample that
// can't be read. Sounds that need decoding are decoded into work.
void LoadCommandLineSong(CommandLineSong& song, const std::filesystem::path& home,
                         const std::filesystem::path& input, SlotFiles slotFiles,
                         const std::filesystem::path& work);

struct RenderRequest {
  bool loop = false;  // the file exactly the song's length, the tail on its start
  bool mono = false;  // one channel, the mean of the two
  // Told what the user should know that stops nothing (instruments the kit
  // lacks).
  std::function<void(const std::string&)> warn = [](const std::string&) {};
};

struct RenderCommandResult {
  std::int64_t frames = 0;
  bool cancelled = false;
  std::int64_t rows = 0;  // step rows of the song
};

// Raises the first error (a kit, song, pattern or sample that can't be
// read, a render or save that fails). An existing output file is replaced
// only by a complete song. An output named ".flac" gets FLAC.
RenderCommandResult RenderFromCommandLine(const std::filesystem::path& home,
                                          const std::filesystem::path& input,
                                          const std::filesystem::path& output,
                                          RenderProgress& progress,
                                          const RenderRequest& request = {});

struct StemsCommandResult {
  StemsResult stems;
  std::int64_t rows = 0;
};

StemsCommandResult StemsFromCommandLine(const std::filesystem::path& home,
                                        const std::filesystem::path& input,
                                        const std::filesystem::path& folder,
                                        RenderProgress& progress, const RenderRequest& request);

// Writes the MIDI file through a part file.
void MidiFromCommandLine(const std::filesystem::path& home, const std::filesystem::path& input,
                         const std::filesystem::path& output);

CollectResult CollectFromCommandLine(const std::filesystem::path& home,
                                     const std::filesystem::path& song,
                                     const std::filesystem::path& folder, RenderProgress& progress);
