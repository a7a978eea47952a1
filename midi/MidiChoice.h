#pragma once
// What Options › Preferences › MIDI keeps: the system the ports are made on,
// the ports connected at start, and the channel the notes are taken from.
#include <optional>
#include <string>
#include <vector>

#include "midi/MidiSystem.h"

struct MidiChoice {
  MidiSystem api = MidiSystem::None;
  std::vector<std::string> sources;  // connected to midi_in
  std::vector<std::string> targets;  // midi_out connected to them
  int channel = 0;                   // 0: every channel, else 1..16
  bool countIn = false;              // Record begins one bar after the pattern starts
  bool click = true;                 // a click on every beat while Record is on
  bool operator==(const MidiChoice&) const = default;
};

// "--midi alsa|jack|none" for the windows: taken out of argv (argc shrinks).
// Nothing when absent; false (message on err) for a value it doesn't know.
struct MidiOption {
  bool ok = true;
  std::optional<MidiSystem> api;
};
MidiOption TakeMidiOption(int& argc, char** argv, std::string& error);

// The API a run uses: the command line's over the stored one.
void SetMidiSystemForThisRun(std::optional<MidiSystem> api);
std::optional<MidiSystem> MidiSystemForThisRun();
