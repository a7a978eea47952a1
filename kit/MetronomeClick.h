#pragma once
// The metronome's click while recording: a short sine tick with a fast decay,
// higher on the bar's first beat, as 16-bit stereo PCM.
#include <cstdint>
#include <vector>

// Interleaved stereo samples of one click at the given rate.
std::vector<int16_t> MetronomeClick(int rate, bool accent);
