#include "kit/SfzReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "common/Exception.h"
#include "kit/SfzText.h"

namespace fs = std::filesystem;

namespace {

const char* const kRegionOpcodes[] = {
    "sample", "key", "lokey", "hikey", "lovel", "hivel", "pitch_keycenter", "volume", "pan"};
enum Level { kControl, kGlobal, kMaster, kGroup, kRegion, kOther, kLevels };

bool Known(const std::string& opcode) {
  return std::find(std::begin(kRegionOpcodes), std::end(kRegionOpcodes), opcode) !=
         std::end(kRegionOpcodes);
}

using Opcodes = std::map<std::string, const SfzToken*>;

double Number(const SfzToken& token) {
  double value = 0;
  const char* end = token.value.data() + token.value.size();
  const auto [at, ec] = std::from_chars(token.value.data(), end, value);
  if (ec != std::errc() || at != end || !std::isfinite(value))
    throw Exception(SourcePlace(token.file, token.line) + token.name + "=" + token.value +
                    ": not a number");
  return value;
}

int Note(const SfzToken& token) {
  const int note = SfzNote(token.value);
  if (note < 0)
    throw Exception(SourcePlace(token.file, token.line) + token.name + "=" + token.value +
                    ": not a MIDI note (0 to 127 or a name such as c4)");
  return note;
}

int Velocity(const SfzToken& token) {
  const double v = Number(token);
  if (v < 0 || v > 127 || v != std::floor(v))
    throw Exception(SourcePlace(token.file, token.line) + token.name + "=" + token.value +
                    ": not a velocity (0 to 127)");
  return static_cast<int>(v);
}

struct Region {
  int lokey = 0, hikey = 127, keycenter = -1;
  ImportedLayer layer;
};

class SfzAssembler {
 public:
  explicit SfzAssembler(ImportedKit& kit) : kit_(kit) {}

  void Take(const SfzToken& token) {
    if (token.header) return Header(token.name);
    const bool known =
        level_ == kControl ? token.name == "default_path" : level_ != kOther && Known(token.name);
    if (!known) {
      ++kit_.ignoredOpcodes;
      return;
    }
    opcodes_[level_][token.name] = &token;
  }

  void End() { Flush(); }

 private:
  void Header(const std::string& name) {
    Flush();
    static const std::map<std::string, Level> levels{{"control", kControl},
                                                     {"global", kGlobal},
                                                     {"master", kMaster},
                                                     {"group", kGroup},
                                                     {"region", kRegion}};
    const auto found = levels.find(name);
    level_ = found == levels.end() ? kOther : found->second;
    // A header starts its level afresh and ends those below it.
    if (level_ != kOther)
      for (int l = level_; l < kOther; ++l) opcodes_[l].clear();
  }

  // The region just read, with what it inherits, becomes a layer.
  void Flush() {
    if (level_ != kRegion) return;
    Opcodes merged;
    for (int l = kGlobal; l <= kRegion; ++l)
      for (const auto& [name, token] : opcodes_[l]) merged[name] = token;
    opcodes_[kRegion].clear();
    level_ = kOther;
    const auto sample = merged.find("sample");
    // Regions without a sample or of a built-in generator ("*sine") play no file.
    if (sample == merged.end() || sample->second->value.rfind('*', 0) == 0) return;
    Region region = MakeRegion(merged);
    Add(region);
  }

  Region MakeRegion(const Opcodes& merged) const {
    Region region;
    const SfzToken& sample = *merged.at("sample");
    std::string prefix;
    if (const auto path = opcodes_[kControl].find("default_path"); path != opcodes_[kControl].end())
      prefix = path->second->value;
    region.layer.sample = prefix + sample.value;
    region.layer.source = sample.file;
    region.layer.line = sample.line;
    int lovel = 1, hivel = 127;
    for (const auto& [name, token] : merged) {
      if (name == "key") region.lokey = region.hikey = region.keycenter = Note(*token);
      if (name == "pitch_keycenter") region.keycenter = Note(*token);
      if (name == "volume") region.layer.gain = std::pow(10.0, Number(*token) / 20.0);
      if (name == "pan") region.layer.pan = std::clamp(Number(*token) / 100.0, -1.0, 1.0);
      if (name == "lovel") lovel = Velocity(*token);
      if (name == "hivel") hivel = Velocity(*token);
    }
    // lokey and hikey say more than key.
    if (const auto lo = merged.find("lokey"); lo != merged.end()) region.lokey = Note(*lo->second);
    if (const auto hi = merged.find("hikey"); hi != merged.end()) region.hikey = Note(*hi->second);
    region.layer.lowVelocity = lovel / 127.0;
    region.layer.highVelocity = hivel / 127.0;
    return region;
  }

  void Add(const Region& region) {
    const std::pair<int, int> keys{region.lokey, region.hikey};
    auto found = std::find(keys_.begin(), keys_.end(), keys);
    if (found == keys_.end()) {
      keys_.push_back(keys);
      ImportedInstrument instrument;
      const bool centred = region.keycenter >= region.lokey && region.keycenter <= region.hikey;
      instrument.note = region.lokey == region.hikey ? region.lokey
                        : centred                    ? region.keycenter
                                                     : region.lokey;
      instrument.source = region.layer.source;
      instrument.line = region.layer.line;
      kit_.instruments.push_back(instrument);
      found = keys_.end() - 1;
    }
    kit_.instruments[static_cast<std::size_t>(found - keys_.begin())].layers.push_back(
        region.layer);
  }

  ImportedKit& kit_;
  Level level_ = kOther;
  Opcodes opcodes_[kLevels];
  std::vector<std::pair<int, int>> keys_;
};

}  // namespace

int SfzNote(const std::string& text) {
  if (text.empty()) return -1;
  int value = 0;
  const char* end = text.data() + text.size();
  if (auto [at, ec] = std::from_chars(text.data(), end, value); ec == std::errc() && at == end)
    return value >= 0 && value <= 127 ? value : -1;
  static const int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  if (letter < 'a' || letter > 'g') return -1;
  int note = kSteps[letter - 'a'];
  std::size_t at = 1;
  if (at < text.size() && text[at] == '#')
    note += 1, ++at;
  else if (at < text.size() && text[at] == 'b')
    note -= 1, ++at;
  int octave = 0;
  const char* from = text.data() + at;
  if (auto [rest, ec] = std::from_chars(from, end, octave);
      ec != std::errc() || rest != end || from == end)
    return -1;
  note += (octave + 1) * 12;
  return note >= 0 && note <= 127 ? note : -1;
}

ImportedKit ReadSfz(const fs::path& sfz) {
  ImportedKit kit;
  kit.source = sfz;
  kit.folder = sfz.parent_path().empty() ? fs::path(".") : sfz.parent_path();
  kit.name = sfz.stem().string();
  const std::vector<SfzToken> tokens = SfzTokens(sfz, kit.folder);
  SfzAssembler assembler(kit);
  for (const SfzToken& token : tokens) assembler.Take(token);
  assembler.End();
  return kit;
}
