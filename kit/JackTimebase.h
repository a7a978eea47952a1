#pragma once
// Bar, beat, tick and tempo of the song for a JACK transport that Korvanto
// is the timebase master of. Runs on the server's thread: no locks.
#include <jack/transport.h>

// Fills position's BBT fields from the published song timeline at its frame.
void FillJackPosition(jack_position_t& position);
