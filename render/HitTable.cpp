#include "render/HitTable.h"

#include <unordered_set>

#include "common/Exception.h"
#include "kit/InstrumentTable.h"

namespace {

constexpr std::size_t kNameLength = 10;
constexpr std::size_t kDigitAt = 11;
const char* const kHeader = "//";
const char* const kEnd = "%%%";

const std::string& LineAt(const Lines& sequence, std::int64_t p) {
  if (p < 0 || p >= static_cast<std::int64_t>(sequence.size()))
    throw Exception("List index out of bounds (" + std::to_string(p) + ")");
  return sequence[static_cast<std::size_t>(p)];
}

}  // namespace

std::vector<int> UsedInstruments(const Lines& sequence, const InstrumentTable& chooser) {
  std::vector<int> used;
  std::unordered_set<int> seen;
  for (std::string text : sequence) {
    if (text.size() > kNameLength) text[kDigitAt] = ' ';
    const int u = chooser.IndexOf(text);
    if (u > 0 && seen.insert(u).second) used.push_back(u);
  }
  return used;
}

std::vector<Hit> FindHits(const Lines& sequence, const InstrumentTable& chooser, int instrument) {
  const bool kit = instrument <= chooser.LastKitIndex();
  std::vector<Hit> hits;
  double time = 0;
  double step = 0;
  int column = -1;
  std::int64_t p = 0;
  std::string text;
  while (text != kEnd) {
    int level = 0;
    text = LineAt(sequence, p);
    if (kit && text.size() > kNameLength) level = TakeVolumeLevel(text);
    ++p;
    if (text == kHeader) {
      text = LineAt(sequence, p);
      step = double(std::int64_t{ParseWholeNumber(text)} * 2) * 0.001;
      ++p;
    } else {
      ++column;
    }
    const int x = chooser.IndexOf(text);
    if (column == 6) {
      column = 0;
      time += step;
    }
    if (x == instrument) hits.push_back({p - 1, time, level});
  }
  return hits;
}

double KitHitVolume(int level) {
  return (4000 - 500 * level) * 0.00025;
}

double SlotHitVolume(std::int32_t volume) {
  return (volume + 4000) * 0.00025;
}

double HitPan(std::int32_t pan) {
  return pan * 0.0005;
}
