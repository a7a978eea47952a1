#pragma once
// The name a slot's button in the Extra samples window shows.
#include <string>

// The file name part of path without its last four characters (the
// extension), cut to its first eight characters; empty for a shorter name.
std::string SlotShortName(const std::string& path);
