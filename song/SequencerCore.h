#pragma once
// The main window's core state that the pattern file, play list and song
// operations work on. The window owns each part; this only gathers them.
#include <filesystem>

class PatternGrid;
class PatternLibrary;
class PlayList;
class Prompts;
class SlotAccess;
struct SongSettings;

struct SequencerCore {
  const std::filesystem::path& home;
  PatternGrid& grid;
  PatternLibrary& library;
  PlayList& playList;
  SlotAccess& slots;
  Prompts& prompts;
  SongSettings& settings;
};
