#pragma once
// The MIDI beat settings in the program's settings store (group "midi-beat/").
#include "midi/MidiBeatSettings.h"

MidiBeatSettings LoadMidiBeatSettings();
void SaveMidiBeatSettings(const MidiBeatSettings& settings);
