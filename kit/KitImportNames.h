#pragma once
// The names an imported kit's instruments get: the source's own, else the
// General MIDI name of the note it plays (as the MIDI export's drum map reads
// it back), else the sample's file name; Latin-1, at most ten characters,
// each other than the rest (letter case aside: a clash takes a digit).
#include <string>
#include <vector>

#include "kit/ImportedKit.h"

std::vector<std::string> ImportedInstrumentNames(const ImportedKit& kit);

// A short name (at most ten characters) for a General MIDI drum note; ""
// for a note outside 35 .. 81. Where the export's drum map knows the note,
// the name maps back to it.
std::string GmDrumShortName(int note);
