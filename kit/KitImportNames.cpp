#include "kit/KitImportNames.h"

#include <algorithm>

#include "common/Text.h"
#include "common/Utf8.h"
#include "kit/KitMaker.h"

namespace {

constexpr std::size_t kLength = KitMaker::kNameLength;

// General MIDI drum notes 35 .. 81.
const char* const kGmShortNames[] = {
    "ShortKick", "Kick",      "Rim",       "Snare",      "Clap",     "ElecSnare",  "LoFloorTom",
    "ClosedHat", "FloorTom",  "PedalHat",  "LowTom",     "OpenHat",  "MidTom",     "Tom",
    "Crash",     "HighTom",   "Ride",      "China",      "RideBell", "Tambourine", "Splash",
    "Cowbell",   "Crash2",    "Vibraslap", "Ride2",      "HiBongo",  "LowBongo",   "MuteConga",
    "HiConga",   "LowConga",  "HiTimbale", "LowTimbale", "HiAgogo",  "LowAgogo",   "Cabasa",
    "Maracas",   "ShWhistle", "LgWhistle", "ShGuiro",    "LgGuiro",  "Claves",     "HiBlock",
    "LowBlock",  "MuteCuica", "OpenCuica", "MuteTri",    "OpenTri",
};
constexpr int kFirstGmNote = 35;

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Latin-1, no control characters, and no brackets: an entry's name ends in
// "[ ]", and the kit list shows what comes before the first '['.
std::string Cleaned(const std::string& utf8) {
  std::string name = WithoutControlCharacters(Utf8ToLatin1(utf8));
  std::replace(name.begin(), name.end(), '[', '(');
  std::replace(name.begin(), name.end(), ']', ')');
  return Trimmed(name);
}

std::string Cut(const std::string& name, std::size_t length) {
  return Trimmed(name.substr(0, std::min(name.size(), length)));
}

std::string SampleStem(const ImportedInstrument& instrument) {
  const ImportedLayer* layer = FullVelocityLayer(instrument);
  if (!layer) return "";
  std::string path = layer->sample;
  std::replace(path.begin(), path.end(), '\\', '/');
  return std::filesystem::path(path).stem().string();
}

std::string BaseName(const ImportedInstrument& instrument) {
  std::string name = Cleaned(instrument.name);
  if (name.empty()) name = GmDrumShortName(instrument.note);
  if (name.empty()) name = Cleaned(SampleStem(instrument));
  if (name.empty()) name = "Instrument";
  return Cut(name, kLength);
}

bool Taken(const std::vector<std::string>& names, const std::string& name) {
  const std::string lower = LowerLatin1(name);
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& other) { return LowerLatin1(other) == lower; });
}

}  // namespace

std::string GmDrumShortName(int note) {
  const int index = note - kFirstGmNote;
  if (index < 0 || index >= static_cast<int>(std::size(kGmShortNames))) return "";
  return kGmShortNames[index];
}

std::vector<std::string> ImportedInstrumentNames(const ImportedKit& kit) {
  std::vector<std::string> names;
  for (const ImportedInstrument& instrument : kit.instruments) {
    const std::string base = BaseName(instrument);
    std::string name = base;
    for (int n = 2; Taken(names, name); ++n) {
      const std::string digits = std::to_string(n);
      name = Cut(base, kLength - digits.size()) + digits;
    }
    names.push_back(name);
  }
  return names;
}
