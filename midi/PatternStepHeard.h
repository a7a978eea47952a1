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

// How many steps the pattern player has played since it started when it
// reaches the row, counting the one now due (row PlayRow) and going back from it.
int64_t StepsBeforeRow(const PlaybackEngine& engine, int row);

// The steps of one bar of the pattern, as the MIDI file export reads its meter.
int BarSteps(int steps, int time);

// The grid row the note is written to; nothing when the pattern isn't playing.
std::optional<int> RecordRow(const PlaybackEngine& engine, const PlaybackSound& sound,
                             std::chrono::steady_clock::time_point arrived);
