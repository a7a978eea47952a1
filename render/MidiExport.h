#pragma once
// A play sequence as a Standard MIDI File: format 1, a tempo track and a
// drum track on channel 10. A step is a sixteenth note; each pattern's tempo
// is its step interval exactly (a quarter note is four steps: tempo × 8 ms);
// each row an instrument sounds in is one note, one step long, its velocity
// from the volume digit (the louder where two channels of the row hold it).
//
// The render sounds a pattern's first row one step of that pattern's own
// tempo after the row before it; the tempo change therefore comes one step
// before the pattern's first row, so that every note of the file sounds at
// the time the rendered song (and its stems) sound it.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Text.h"
#include "pattern/PatternMeter.h"
#include "render/RenderPrep.h"
#include "song/SongSettings.h"

class InstrumentTable;

inline constexpr int kMidiTicksPerQuarter = 480;
inline constexpr int kMidiTicksPerStep = kMidiTicksPerQuarter / 4;
inline constexpr int kDrumChannel = 9;  // channel 10, counted from 0

// Digit 1 (and a cell without one) is 127; each further digit plays 5 dB
// quieter, as playback plays it, on General MIDI's velocity curve (40 ×
// log10 of the velocity in decibels): round(127 × 10^(−5 × (digit − 1) / 40)).
int KitVelocity(int level);
// A loudness in decibels (0 is full) on that curve, from 1 to 127.
int VelocityOfDecibels(double decibels);
// A sample slot by its volume in hundredths of a decibel, on the same curve:
// round(127 × 10^(volume / 4000)), at least 1.
int SlotVelocity(std::int32_t volume);

// A MIDI time signature: beats / noteValue, the metronome clicking every
// clocksPerClick MIDI clocks (24 a quarter note).
struct TimeSignature {
  int beats = 4;
  int noteValue = 4;
  int clocksPerClick = 24;
  bool operator==(const TimeSignature&) const = default;
};
// As a musician reads a pattern of steps sixteenths with a group (a star)
// every time steps: a bar is the pattern, or 16 steps when the groups fill
// 16-step bars that the pattern repeats; the beat is the longest note value
// that both the bar and the group are made of; the click sounds each group.
// 16 | 4 is 4/4, 8 | 2 is 4/8, 12 | 3 is 12/16 clicking dotted eighths, 3 | 3
// is 3/16, 7 | 4 is 7/16.
TimeSignature TimeSignatureOf(int steps, int time);

// The file's bytes: a time signature at the first row of each pattern whose
// meter differs from the one before (4/4 when no meters are given). Raises
// what reading the sequence raises (see FindHits), and an error for a song
// too long for MIDI's tick counts. The groove moves each note as the render
// moves the hit, to the nearest tick, and lowers a kit note's velocity by its
// humanize loudness. The mix leaves out the notes of kit instruments that are
// silenced and moves the others' velocities by their level.
std::string MidiFileBytes(const Lines& sequence, const InstrumentTable& chooser,
                          const SlotSounds& slots, const std::vector<PatternMeter>& meters = {},
                          const Groove& groove = {}, const KitMix& mix = {});
