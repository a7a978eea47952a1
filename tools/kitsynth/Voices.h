#pragma once
// The sixteen instruments of the default kit, each a mono signal at
// SampleRate, still unnormalised.
#include "tools/kitsynth/Dsp.h"

namespace kitsynth {

// Drums.cpp
Signal Kick();
Signal ShortKick();
Signal Snare();
Signal Tom(double hz, double seconds);
Signal Conga();

// Metals.cpp
Signal ClosedHat();
Signal OpenHat();
Signal Crash();
Signal Ride();
Signal Cowbell();
Signal Tambourine();

// Hands.cpp
Signal Rimshot();
Signal Shaker();
Signal WoodBlock();
Signal Clap();

// Finish.cpp: removes DC, fades in over a millisecond, fades the tail to
// exact silence, and scales the peak to peakDb dBFS.
void Finish(Signal& s, double fadeOutSeconds, double peakDb);

}  // namespace kitsynth
