#pragma once
// What the user chose for the beat at midi_out, a followed clock and MIDI
// control (Options › Preferences), kept between runs.
#include "midi/MidiControlMap.h"

struct MidiBeatSettings {
  bool sendNotes = true;                            // every hit a note on channel 10
  bool sendClock = false;                           // MIDI clock, Start, Stop, Song Position
  bool followClock = false;                         // tempo, start and stop from an incoming clock
  bool transport = true;                            // MIDI Start / Continue / Stop run the players
  MidiAction startPlays = MidiAction::PlayPattern;  // or PlaySong
  MidiControlMap controls;
  bool operator==(const MidiBeatSettings&) const = default;
};
