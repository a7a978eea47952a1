#include "pattern/PatternStore.h"

#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Prompts.h"
#include "pattern/PatternGrid.h"
#include "pattern/PatternLibrary.h"
#include "pattern/PatternName.h"
#include "song/PlayList.h"
#include "song/SequencerCore.h"

bool SavePattern(SequencerCore& core, PatternValues values) {
  const std::string name = core.grid.Cell(0, 0);
  const int steps = core.grid.StepCount();
  if (steps < 1) throw EConvertError(core.grid.Cell(2, 0));
  if (name.empty()) {
    core.prompts.Message(kNameQuestion, kNameCaption, PromptButtons::Ok);
    return false;
  }
  const auto path = PatternPathForWriting(core.home, name);
  WriteTextLines(path, BuildPatternLines(core.grid, steps, values, core.slots));
  if (core.playList.Contains(name)) return true;
  core.playList.Append(name);
  if (!core.library.Contains(name)) core.library.Add(name);
  return true;
}

bool DeletePattern(SequencerCore& core, int libraryIndex) {
  const auto& entries = core.library.Entries();
  if (libraryIndex < 1 || libraryIndex >= static_cast<int>(entries.size())) return false;
  const std::string name = entries[libraryIndex];
  if (core.prompts.Message(kDeleteQuestion, kDeleteCaption, PromptButtons::OkCancel) !=
      PromptAnswer::Ok)
    return false;
  core.library.Remove(name);
  // A missing file is no error; a name that isn't a file name has none.
  if (IsUsablePatternName(name)) {
    std::error_code ignored;
    std::filesystem::remove(PatternFilePath(core.home, name), ignored);
  }
  core.playList.RemoveAll(name);
  return true;
}
