#pragma once
// The pattern step a note played along with the pattern belongs to: the step
// the user heard when the note came, and how far into it.
#include <chrono>
#include <optional>

#include "midi/RecordPlacement.h"

class PlaybackEngine;
class PlaybackSound;

// Nothing while the pattern player plays nothing heard yet.
std::optional<StepHeard> PatternStepHeard(const PlaybackEngine& engine, const PlaybackSound& sound,
                                          std::chrono::steady_clock::time_point arrived);

// The grid row the note is written to; nothing when the pattern isn't playing.
std::optional<int> RecordRow(const PlaybackEngine& engine, const PlaybackSound& sound,
                             std::chrono::steady_clock::time_point arrived);
