#include "kit/InstrumentTable.h"

#include "common/Exception.h"
#include "common/Text.h"
#include "kit/WaveCollection.h"

namespace {
constexpr size_t kVolumeDigit = 11;

InstrumentSound SoundAt(const InstrumentTable& table, int index, int volume) {
  InstrumentSound sound;
  sound.volume = volume;
  if (index > table.LastKitIndex()) {
    sound.kind = InstrumentSound::Kind::Slot;
    sound.slot = index - table.LastKitIndex();
  } else if (!table.Item(index).empty()) {
    sound.kind = InstrumentSound::Kind::KitEntry;
    sound.entryName = table.Item(index);
  }
  return sound;
}
}  // namespace

InstrumentTable::InstrumentTable()
    : items_{"",
             "Kick      [ ]",
             "Short Kick[ ]",
             "Snare     [ ]",
             "ClsHiat   [ ]",
             "OpHiat    [ ]",
             "Tom1      [ ]",
             "Tom2      [ ]",
             "Cymbol1   [ ]",
             "Cymbol2   [ ]",
             "Rimshot   [ ]",
             "Shaker    [ ]",
             "Block     [ ]",
             "Congo     [ ]",
             "Cowbell   [ ]",
             "Crack     [ ]",
             "Tamb      [ ]"} {
  AddSlots();
}

void InstrumentTable::AddSlots() {
  for (int slot = 1; slot <= kSlots; ++slot) items_.push_back("Sample" + std::to_string(slot));
}

void InstrumentTable::Rebuild(const TWaveCollection& kit) {
  items_.clear();
  for (int i = 0; i < kit.Count(); ++i) items_.push_back(kit[i].Name());
  // Without a kit the blank entry still stands first, so an empty cell
  // stays silent rather than naming a sample slot.
  if (items_.empty()) items_.push_back("");
  lastKitIndex_ = static_cast<int>(items_.size()) - 1;
  AddSlots();
}

int InstrumentTable::IndexOf(std::string_view text) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameTextIgnoringCase(items_[i], text)) return static_cast<int>(i);
  return -1;
}

const std::string& InstrumentTable::Item(int index) const {
  static const std::string none;
  return index >= 0 && index < static_cast<int>(items_.size()) ? items_[index] : none;
}

int TakeVolumeLevel(std::string& text) {
  if (text.size() <= 10) return 1;
  if (text.size() <= kVolumeDigit) throw EConvertError("");  // the digit's place is missing
  const char digit = text[kVolumeDigit];
  const int level = digit == ' ' ? 1 : ParseWholeNumber(std::string(1, digit));
  text[kVolumeDigit] = ' ';
  return level;
}

InstrumentSound ResolveForPlayback(const InstrumentTable& table, std::string text) {
  const int level = TakeVolumeLevel(text);
  int index = table.IndexOf(text);
  if (index < 1) index = 0;
  return SoundAt(table, index, -500 * level);
}

InstrumentSound ResolveForChooser(const InstrumentTable& table, const std::string& text) {
  int index = table.IndexOf(text);
  if (index < 0) index = table.LastKitIndex();
  if (index < 1) index = 0;
  return SoundAt(table, index, 0);
}

InstrumentSound ResolveForCellClick(const InstrumentTable& table, const std::string& text) {
  const int index = table.IndexOf(text);
  if (index <= 0 || index > table.LastKitIndex()) return {};
  return SoundAt(table, index, 0);
}

std::string InstrumentName(const std::string& item) {
  std::string name = item;
  const std::size_t n = name.size();
  if (n >= 3 && name[n - 3] == '[' && name[n - 1] == ']') name.resize(n - 3);
  const auto first = name.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}
