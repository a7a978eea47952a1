#pragma once
// Imports a drum kit of another program as a kit library file: a Hydrogen
// drumkit (its folder, its drumkit.xml or a .h2drumkit archive) or an SFZ
// instrument. One entry per instrument, in the source's order, from the
// sample for a single hit at full velocity, with the instrument's gain
// applied; the pans go into a panning table beside the kit.
#include <filesystem>
#include <string>
#include <vector>

class TWaveCollection;

struct KitImportOutcome {
  std::string kitName;  // UTF-8, as the source names the kit
  int instruments = 0;
  int layered = 0;  // instruments with more than one layer or region
  bool sfz = false;
  int ignoredOpcodes = 0;
  int withoutSample = 0;                      // instruments left out: they name no sample
  std::vector<std::string> warnings;          // a gain that clipped, a short file
  std::vector<int> pans;                      // entries 1 .. N, in the pan bar's units
  std::vector<std::filesystem::path> inputs;  // the source and every sample read
};

// Reads source into kit: entry 0 the blank, then the instruments, named as
// the kit maker names them ("Snare     [ ]"). workFolder: an empty private
// folder for an unpacked archive and decoded sounds. kit is changed only
// when all went well. Exception naming the file (and line) on bad input:
// a missing or unreadable sample, a path leaving the kit's folder,
// malformed XML or SFZ, a kit of no instruments or more than a kit holds.
KitImportOutcome ImportKitSource(const std::filesystem::path& source,
                                 const std::filesystem::path& workFolder, TWaveCollection& kit);

// "Imported 16 instruments from GMRockKit (3 layered instruments: the
// loudest layer taken)", with ", 12 opcodes ignored" for SFZ.
std::string KitImportReport(const KitImportOutcome& outcome);

// The panning table written beside an imported kit: "gm.dxg" has
// "gm-Panning.dat", in the layout of Panning.dat (17 lines).
std::filesystem::path PanningTableBeside(const std::filesystem::path& kitFile);
// Its 17 lines: 0, the pans of entries 1 .. 16, 0 where there is none.
std::vector<int> PanningTableValues(const KitImportOutcome& outcome);

// The most instruments an imported kit may have: what the kit maker's table
// holds.
int MaxImportedInstruments();
