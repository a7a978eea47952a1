#pragma once
// The instrument chooser's items: the kit entries' names in kit order, then
// "Sample1" .. "Sample32". A cell's or the chooser's text is looked up here,
// ignoring letter case, to find what to sound.
#include <string>
#include <string_view>
#include <vector>

class TWaveCollection;

class InstrumentTable {
 public:
  static constexpr int kSlots = 32;

  InstrumentTable();  // the default kit's names, as before any kit has loaded

  const std::vector<std::string>& Items() const { return items_; }
  int LastKitIndex() const { return lastKitIndex_; }
  // The kit entries' names, then the sample slots. An empty kit (none could
  // be loaded) gives the blank entry alone before the slots.
  void Rebuild(const TWaveCollection& kit);
  // First item equal to the text ignoring case; -1 when none.
  int IndexOf(std::string_view text) const;
  const std::string& Item(int index) const;

 private:
  void AddSlots();

  std::vector<std::string> items_;
  int lastKitIndex_ = 16;
};

// An item's instrument as a word: "Kick      [ ]" gives "Kick" (the bracket
// pair and the padding go), "Sample3" stays "Sample3".
std::string InstrumentName(const std::string& item);

// What a text sounds: nothing, a kit entry (by its name) or a sample slot.
struct InstrumentSound {
  enum class Kind { Silent, KitEntry, Slot };
  Kind kind = Kind::Silent;
  std::string entryName;  // kit entry
  int slot = 0;           // 1 .. 32
  int volume = -500;      // hundredths of a decibel, from the volume digit
};

// The volume digit of a cell: the 12th character of a text longer than 10, a
// blank counting as 1. Blanks the digit so the text names the instrument
// again. EConvertError for any other character.
int TakeVolumeLevel(std::string& text);

// Playback's rule: volume digit, then the item; texts that match nothing
// resolve to the blank entry and stay silent.
InstrumentSound ResolveForPlayback(const InstrumentTable& table, std::string text);

// "Play selected sample": a text that matches nothing plays the last kit entry.
InstrumentSound ResolveForChooser(const InstrumentTable& table, const std::string& text);

// Clicking a cell sounds the instrument only when it is a kit entry.
InstrumentSound ResolveForCellClick(const InstrumentTable& table, const std::string& text);
