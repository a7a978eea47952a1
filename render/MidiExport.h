#pragma once
// A play sequence as a Standard MIDI File: format 1, a tempo track and a
// drum track on channel 10. A step is a sixteenth note; each pattern's tempo
// is its step interval exactly (a quarter note is four steps: tempo × 8 ms);
// every hit is one note, one step long, its velocity from the volume digit.
//
// The render sounds a pattern's first row one step of that pattern's own
// tempo after the row before it; the tempo change therefore comes one step
// before the pattern's first row, so that every note of the file sounds at
// the time the rendered song (and its stems) sound it.
#include <cstdint>
#include <string>

#include "common/Text.h"
#include "render/RenderPrep.h"

class InstrumentTable;

inline constexpr int kMidiTicksPerQuarter = 480;
inline constexpr int kMidiTicksPerStep = kMidiTicksPerQuarter / 4;
inline constexpr int kDrumChannel = 9;  // channel 10, counted from 0

// Digit 1 (and a cell without one) is 127; each further digit plays 5 dB
// quieter, as playback plays it, on General MIDI's velocity curve (40 ×
// log10 of the velocity in decibels): round(127 × 10^(−5 × (digit − 1) / 40)).
int KitVelocity(int level);
// A sample slot by its volume in hundredths of a decibel, on the same curve:
// round(127 × 10^(volume / 4000)), at least 1.
int SlotVelocity(std::int32_t volume);

// The file's bytes. Raises what reading the sequence raises (see FindHits),
// and an error for a song too long for MIDI's tick counts.
std::string MidiFileBytes(const Lines& sequence, const InstrumentTable& chooser,
                          const SlotSounds& slots);
