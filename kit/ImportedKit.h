#pragma once
// A drum kit as another program describes it (a Hydrogen drumkit or an SFZ
// instrument), read but not yet turned into a kit library file.
#include <filesystem>
#include <string>
#include <vector>

// One sample of an instrument and the velocities it answers, as fractions of
// full velocity (a MIDI velocity v is v / 127).
struct ImportedLayer {
  std::string sample;            // the path as the source writes it
  std::filesystem::path source;  // the file that names it, for messages
  int line = 0;                  // its line there
  double lowVelocity = 0.0;
  double highVelocity = 1.0;
  double gain = 1.0;  // linear
  double pan = 0.0;   // -1 .. 1, added to the instrument's
};

struct ImportedInstrument {
  std::string name;                   // UTF-8 as the source gives it; may be empty
  int note = -1;                      // the MIDI note the source gives it, -1 when none
  double gain = 1.0;                  // linear, on top of the layer's own
  double pan = 0.0;                   // -1 full left .. 1 full right
  std::vector<ImportedLayer> layers;  // in the source's order
  std::filesystem::path source;
  int line = 0;
};

struct ImportedKit {
  std::string name;                             // UTF-8
  std::filesystem::path source;                 // drumkit.xml or the .sfz file
  std::filesystem::path folder;                 // samples must lie in it or below
  std::vector<ImportedInstrument> instruments;  // in the source's order
  int ignoredOpcodes = 0;                       // SFZ opcodes read and left aside
};

// The layer a musician would pick for a single hit: the first that answers
// full velocity, else the one that answers the loudest. Null without layers.
const ImportedLayer* FullVelocityLayer(const ImportedInstrument& instrument);

// "<file>:<line>: " (or "<file>: " without a line) before a message.
std::string SourcePlace(const std::filesystem::path& file, int line);
