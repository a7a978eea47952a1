#pragma once
// Kit library files (.dxg): a resource frame around a streamed object whose
// one property, "List", holds the kit's entries with their "Name" and
// "Wave.WAVE" (a RIFF WAVE image) properties.
#include <iosfwd>
#include <string>
#include <string_view>

class TWaveCollection;

// Clears kit and reads the file's entries into it. Errors: "Invalid stream
// format", "Property does not exist", "Invalid property value", "Stream read
// error", "Wave is invalid"; entries read before the fault stay in kit.
void ReadKitFile(std::string_view bytes, TWaveCollection& kit);
// The same from the stream's position to its end.
void ReadKitFile(std::istream& stream, TWaveCollection& kit);

// The kit library file for kit's entries.
std::string KitFileBytes(const TWaveCollection& kit);
