#pragma once
// Compiling the play list into the play sequence: per entry from the
// selected one (the first when none) to the last, "//", the pattern's tempo,
// then the six cells of every step row, once per loop; "%%%" at the end.
#include <filesystem>
#include <optional>
#include <vector>

#include "common/Text.h"
#include "pattern/PatternFile.h"
#include "pattern/PatternMeter.h"

class PlayList;

inline constexpr const char* kPatternHeader = "//";
inline constexpr const char* kEndOfSong = "%%%";
// A sequence beyond this is refused rather than exhausting memory: a
// pattern file can ask for any loop count.
inline constexpr int64_t kMaxSequenceLines = 4'000'000;

// Appends to sequence, reading each pattern file on its own: the grid the
// user edits is never touched, so an unsaved edit survives playing and
// rendering. The play list then selects the entry before the first compiled
// one (none when that was the first). Returns the last pattern's tempo and
// loops, nothing when no entry was compiled.
//
// A pattern that can't be read raises its error (EFOpenError, also for a
// name that isn't a file name; EConvertError); the sequence and selection
// are then as they were. A sequence longer than kMaxSequenceLines raises
// "Out of memory" the same way.
//
// meters, when given, gets each compiled block's length and time from its
// first row on (a time that isn't a whole number above 0 counts as 4).
std::optional<PatternValues> CompilePlaySequence(const std::filesystem::path& home,
                                                 PlayList& playList, Lines& sequence,
                                                 std::vector<PatternMeter>* meters = nullptr);
