#pragma once
// Kits at the command line: "korvanto kit list KIT.dxg", "kit extract KIT.dxg
// DIR", "kit build KIT.dxg [NAME=]FILE..." and "kit import SOURCE OUT.dxg".
#include <iosfwd>
#include <string>
#include <vector>

// args: the words after "kit". Returns 0 when done, 1 when it failed (the
// message went to err, nothing half-written), 2 for wrong arguments.
int RunKitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A kit's entries as a table: index, name, rate, bits, channels and length
// in seconds.
class TWaveCollection;
std::string KitListing(const TWaveCollection& kit);
