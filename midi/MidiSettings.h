#pragma once
// The MIDI choice in the program's settings store (group "midi/").
#include "midi/MidiChoice.h"

MidiChoice LoadMidiChoice();
void SaveMidiChoice(const MidiChoice& choice);
