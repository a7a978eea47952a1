#pragma once
// The notes a user taught a kit, kept beside it: "power.dxg" has its map in
// "power.midimap" (the kit reader never opens it). Text lines "<note> <name>",
// Latin-1, CR LF.
#include <filesystem>
#include <vector>

#include "midi/MidiNoteMap.h"

std::filesystem::path MidiMapPathFor(const std::filesystem::path& kitFile);

// The learned notes; none when the file is missing. Lines that are no
// "<note 0..127> <name>" are skipped; EFOpenError for a file that can't be read.
std::vector<LearnedNote> ReadMidiMap(const std::filesystem::path& path);

// Replaces the file only once the new map is complete.
void WriteMidiMap(const std::filesystem::path& path, const std::vector<LearnedNote>& learned);
