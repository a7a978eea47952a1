#pragma once
// The silent sound of "Blank.wav": what empty sample slots, the blank kit
// entry 0 and new kit maker rows hold.
#include "kit/Wave.h"

// A tenth of a second of silence, 16-bit mono at 44100 Hz.
Wave::TWave BlankWave();
