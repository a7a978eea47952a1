#pragma once
// A press on the play list loads the selected entry's pattern into the editor.
#include <optional>

#include "pattern/PatternLoad.h"

struct SequencerCore;

// Nothing (nullopt) without a selection or for an empty or "<Blank>" entry.
// Otherwise reads name.pat into the grid, its shown rows and the slots it
// names (see LoadPatternIntoGrid); the caller then shows the values, the name
// box from cell (0,0) and the tempo read-out. A missing file, or a name
// that isn't a file name, raises EFOpenError with nothing changed.
std::optional<PatternLoad> LoadSelectedEntry(SequencerCore& core);
