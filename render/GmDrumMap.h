#pragma once
// Kit instruments as General MIDI drum notes, by name. The table is the one
// place the map is kept (the README shows it too).
#include <string>
#include <vector>

class InstrumentTable;

struct GmDrumName {
  const char* word;    // lower-case letters and digits
  int note;            // on channel 10
  const char* gmName;  // the General MIDI name of the note
};

// In order: the first row whose word the instrument's name holds, counting
// only its letters (in lower case) and digits, gives the note.
inline constexpr GmDrumName kGmDrumMap[] = {
    {"shortkick", 35, "Acoustic Bass Drum"},
    {"kick", 36, "Bass Drum 1"},
    {"bassdrum", 36, "Bass Drum 1"},
    {"rim", 37, "Side Stick"},
    {"snare", 38, "Acoustic Snare"},
    {"clap", 39, "Hand Clap"},
    {"crack", 39, "Hand Clap"},
    {"pedal", 44, "Pedal Hi-Hat"},
    {"ophiat", 46, "Open Hi-Hat"},
    {"ophat", 46, "Open Hi-Hat"},
    {"openh", 46, "Open Hi-Hat"},
    {"hiat", 42, "Closed Hi-Hat"},
    {"hat", 42, "Closed Hi-Hat"},
    {"tom1", 50, "High Tom"},
    {"hightom", 50, "High Tom"},
    {"tom2", 47, "Low-Mid Tom"},
    {"midtom", 47, "Low-Mid Tom"},
    {"tom3", 45, "Low Tom"},
    {"lowtom", 45, "Low Tom"},
    {"floortom", 43, "High Floor Tom"},
    {"tom", 48, "Hi-Mid Tom"},
    {"cymbol2", 57, "Crash Cymbal 2"},
    {"cymbal2", 57, "Crash Cymbal 2"},
    {"crash2", 57, "Crash Cymbal 2"},
    {"ride", 51, "Ride Cymbal 1"},
    {"crash", 49, "Crash Cymbal 1"},
    {"cymbol", 49, "Crash Cymbal 1"},
    {"cymbal", 49, "Crash Cymbal 1"},
    {"shaker", 70, "Maracas"},
    {"maraca", 70, "Maracas"},
    {"block", 76, "Hi Wood Block"},
    {"conga", 63, "Open Hi Conga"},
    {"congo", 63, "Open Hi Conga"},
    {"cowbell", 56, "Cowbell"},
    {"tamb", 54, "Tambourine"},
};

// Notes General MIDI leaves free: kit instruments whose names the table
// doesn't know take 82 to 95, then 34 down to 0, in chooser order (any
// further ones share 0); sample slot n takes 95 + n (96 to 127).
inline constexpr int kFirstFreeNote = 82;
inline constexpr int kLastFreeNote = 95;
inline constexpr int kLowFreeNote = 34;

// The table's note for a name; -1 when no row fits.
int GmDrumNote(const std::string& instrumentName);

// The note of every chooser index: -1 for the blank entry and for kit
// entries without a name.
std::vector<int> DrumNotes(const InstrumentTable& chooser);
