#pragma once
// The names a slot's file is shown by: its button in the Extra samples
// window, beside "Sample1" in the chooser and in a stem's name.
#include <string>

// The file name part of path without its last four characters (the
// extension), cut to its first eight characters; empty for a shorter name.
std::string SlotShortName(const std::string& path);

// The file name part of path without its extension ("zap" for
// "/samples/zap.wav"); empty for no file and for the blank sound.
std::string SlotFileTitle(const std::string& path);
