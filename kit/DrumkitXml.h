#pragma once
// Hydrogen's drumkit.xml read with Qt's XML reader. Both layouts: the older
// one, whose instruments name a <filename> or hold <layer>s, and the current
// one, whose instruments hold <instrumentComponent>s with <layer>s (the first
// component that has layers is taken). Read: the kit's <name>; per
// instrument <name>, <volume>, <gain>, <pan> or <pan_L>/<pan_R>,
// <midiOutNote>; per layer <filename>, <min>, <max>, <gain>. The rest is
// left aside.
#include <filesystem>

#include "kit/ImportedKit.h"

// Exception naming the file and line: malformed XML, another root than
// <drumkit_info>, a number that isn't one, a file too large.
ImportedKit ReadDrumkitXml(const std::filesystem::path& drumkitXml);

// The readers the program installs: this one and the archive unpacker.
struct KitSourceReaders;
KitSourceReaders QtKitSourceReaders();
