#pragma once
// The main window's core state in a fresh home folder, for tests.
#include <filesystem>
#include <string>

#include "common/Files.h"
#include "common/ScriptedPrompts.h"
#include "pattern/PatternFile.h"
#include "pattern/PatternGrid.h"
#include "pattern/PatternLibrary.h"
#include "pattern/RecordedSlots.h"
#include "song/PlayList.h"
#include "song/SequencerCore.h"
#include "song/SongSettings.h"
#include "support/TempDir.h"

struct CoreState {
  TempDir dir;
  PatternGrid grid;
  PatternLibrary library;
  PlayList playList;
  RecordedSlots slots;
  ScriptedPrompts prompts;
  SongSettings settings;
  SequencerCore core{dir.path(), grid, library, playList, slots, prompts, settings};

  // The grid as start-up leaves it: 16 steps, time 4.
  CoreState() { grid.WriteNewPattern(16, 4); }

  std::filesystem::path Pat(const std::string& name) const { return dir / (name + ".pat"); }

  // A pattern of steps steps named name whose step s (from 1) holds
  // "<tag>-<s>-<column>" in every channel.
  static PatternGrid Tagged(const std::string& name, int steps, const std::string& tag) {
    PatternGrid grid;
    grid.WriteNewPattern(steps, 4);
    grid.SetCell(0, 0, name);
    for (int s = 1; s <= steps; ++s)
      for (int c = 1; c <= 6; ++c)
        grid.SetCell(c, s + 1, tag + "-" + std::to_string(s) + "-" + std::to_string(c));
    return grid;
  }

  // Writes name.pat as a save would, for a grid and values.
  void WritePattern(const PatternGrid& pattern, PatternValues values) {
    RecordedSlots blank;
    WriteTextLines(Pat(pattern.Cell(0, 0)),
                   BuildPatternLines(pattern, pattern.StepCount(), values, blank));
  }
};
