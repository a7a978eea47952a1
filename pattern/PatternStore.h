#pragma once
// Saving the pattern in the grid and deleting a library pattern: the file in
// the home folder, the library and the play list change together.
#include "pattern/PatternFile.h"

struct SequencerCore;

inline constexpr const char* kNameQuestion = "Name of pattern?";
inline constexpr const char* kNameCaption = "NAME";
inline constexpr const char* kDeleteQuestion =
    "This will delete this pattern from both Pattern Lib and Play List, Some Songs that contain "
    "this pattern may not play, are you sure?";
inline constexpr const char* kDeleteCaption = "!Are you sure you wish to delete?";

// "Save pattern": writes name.pat for the name in cell (0,0) with values
// beside the cells and the slots' files and frequencies, then puts the name
// at the end of the play list and into the library where it is missing.
// An empty name asks "Name of pattern?" and writes nothing (false). A bad
// length raises EConvertError, an unusable name or a failed write
// EFCreateError; nothing is written or listed then.
bool SavePattern(SequencerCore& core, PatternValues values);

// The bin under the library: after an OK to the question, the library entry
// at libraryIndex, its file and every play list entry of that name go.
// "<Blank>" or an index outside the library asks nothing. True when deleted.
bool DeletePattern(SequencerCore& core, int libraryIndex);
