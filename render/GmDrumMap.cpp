#include "render/GmDrumMap.h"

#include <algorithm>

#include "common/Text.h"
#include "kit/InstrumentTable.h"

namespace {

std::string LettersAndDigits(const std::string& name) {
  std::string word;
  for (const char c : LowerLatin1(name))
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) word.push_back(c);
  return word;
}

// The n-th free note (from 0) for names the table doesn't know.
int FreeNote(int n) {
  const int high = kLastFreeNote - kFirstFreeNote + 1;
  if (n < high) return kFirstFreeNote + n;
  return std::max(0, kLowFreeNote - (n - high));
}

}  // namespace

int GmDrumNote(const std::string& instrumentName) {
  const std::string word = LettersAndDigits(instrumentName);
  for (const GmDrumName& row : kGmDrumMap)
    if (word.find(row.word) != std::string::npos) return row.note;
  return -1;
}

std::vector<int> DrumNotes(const InstrumentTable& chooser) {
  const int last = chooser.LastKitIndex();
  std::vector<int> notes(chooser.Items().size(), -1);
  int unknown = 0;
  for (int i = 1; i <= last; ++i) {
    const std::string name = InstrumentName(chooser.Item(i));
    if (name.empty()) continue;
    const int note = GmDrumNote(name);
    notes[static_cast<std::size_t>(i)] = note >= 0 ? note : FreeNote(unknown++);
  }
  for (int n = 1; last + n < static_cast<int>(notes.size()); ++n)
    notes[static_cast<std::size_t>(last + n)] = kLastFreeNote + n;
  return notes;
}
