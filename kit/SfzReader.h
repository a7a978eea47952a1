#pragma once
// SFZ instruments as kits: each key (or key range) its regions name is an
// instrument, in the order first met; its regions are its layers. Read:
// <control> default_path, <global>, <master>, <group>, <region> with sample,
// key, lokey, hikey, lovel, hivel, pitch_keycenter, volume and pan (inherited
// from the headers above as SFZ does), #define, #include and comments. Every
// other opcode is counted as ignored.
#include <filesystem>
#include <string>

#include "kit/ImportedKit.h"

ImportedKit ReadSfz(const std::filesystem::path& sfz);

// A MIDI note from a number or a note name ("c4" is 60, "f#2", "eb3"); -1
// when the text is neither or lies outside 0 .. 127.
int SfzNote(const std::string& text);
