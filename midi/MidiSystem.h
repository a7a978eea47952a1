#pragma once
// The MIDI system Korvanto's ports are made on.
#include <optional>
#include <string>

enum class MidiSystem { None, Alsa, Jack };

// "alsa", "jack", "none" (as the command line and the settings spell them).
std::string MidiSystemWord(MidiSystem api);
std::optional<MidiSystem> MidiSystemFromWord(const std::string& word);
