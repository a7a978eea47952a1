#include "midi/MidiMapFile.h"

#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"

namespace {
constexpr std::uintmax_t kMostMapBytes = 64 * 1024;

// "<note> <name>": the note, 0 to 127, then one space and a name.
bool ParseLine(const std::string& line, LearnedNote& learned) {
  const size_t space = line.find(' ');
  if (space == 0 || space == std::string::npos || space > 3 || space + 1 >= line.size())
    return false;
  int note = 0;
  for (size_t i = 0; i < space; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
    note = note * 10 + (line[i] - '0');
  }
  if (note > 127) return false;
  learned = {note, line.substr(space + 1)};
  return true;
}
}  // namespace

std::filesystem::path MidiMapPathFor(const std::filesystem::path& kitFile) {
  std::filesystem::path map = kitFile;
  return map.replace_extension(".midimap");
}

std::vector<LearnedNote> ReadMidiMap(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return {};
  // 128 notes fit in a few kilobytes: anything far larger is no map.
  if (std::filesystem::file_size(path, error) > kMostMapBytes)
    throw Exception("The MIDI note map " + path.string() + " is too large to be one.");
  std::vector<LearnedNote> learned;
  for (const std::string& line : ReadTextLines(path)) {
    LearnedNote entry;
    if (ParseLine(line, entry)) learned.push_back(std::move(entry));
  }
  return learned;
}

void WriteMidiMap(const std::filesystem::path& path, const std::vector<LearnedNote>& learned) {
  Lines lines;
  for (const LearnedNote& entry : learned)
    lines.push_back(std::to_string(entry.note) + " " + entry.instrument);
  WriteFileAtomically(path, JoinLinesCrlf(lines));
}
