#pragma once
// The sound output chosen in Preferences, kept with the program's settings
// (QSettings "korvanto"/"korvanto", group "sound/") and put to use at start.
#include <string>

#include "kit/SoundOutputChoice.h"

SoundOutputChoice LoadSoundChoice();
void SaveSoundChoice(const SoundOutputChoice& choice);

// At start-up: the stored choice put to use. One that no longer works falls
// back to the default output; the message to tell is returned the first
// time only, not again while the same choice keeps failing.
std::string UseStoredSoundChoice(SoundOutputs& outputs);
