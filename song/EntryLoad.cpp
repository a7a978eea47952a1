#include "song/EntryLoad.h"

#include "pattern/PatternLibrary.h"
#include "pattern/PatternName.h"
#include "song/PlayList.h"
#include "song/SequencerCore.h"

std::optional<PatternLoad> LoadSelectedEntry(SequencerCore& core) {
  const int selected = core.playList.Selected();
  if (selected == PlayList::kNone) return std::nullopt;
  const std::string& name = core.playList.Name(selected);
  if (name.empty() || name == PatternLibrary::kBlank) return std::nullopt;
  return LoadPatternIntoGrid(PatternPathForReading(core.home, name), core.grid, core.slots);
}
