#include "midi/MidiNoteMap.h"

#include <algorithm>
#include <cmath>

#include "common/Text.h"
#include "kit/InstrumentTable.h"
#include "render/GmDrumMap.h"
#include "render/MidiExport.h"

namespace {
bool SameInstrument(const std::string& a, const std::string& b) {
  return LowerLatin1(a) == LowerLatin1(b);
}
}  // namespace

void MidiNoteMap::Rebuild(const InstrumentTable& chooser) {
  index_.fill(-1);
  const auto& items = chooser.Items();
  std::vector<bool> learnedIndex(items.size(), false);
  for (const LearnedNote& learned : learned_) {
    if (learned.note < 0 || learned.note >= kNotes) continue;
    for (size_t i = 1; i < items.size(); ++i)
      if (SameInstrument(InstrumentName(items[i]), learned.instrument)) {
        index_[learned.note] = static_cast<int>(i);
        learnedIndex[i] = true;
        break;
      }
  }
  const std::vector<int> notes = DrumNotes(chooser);
  for (size_t i = 1; i < notes.size(); ++i) {
    const int note = notes[i];
    if (note < 0 || note >= kNotes || learnedIndex[i] || index_[note] >= 0) continue;
    index_[note] = static_cast<int>(i);
  }
}

int MidiNoteMap::IndexOf(int note) const {
  return note >= 0 && note < kNotes ? index_[note] : -1;
}

void MidiNoteMap::Learn(const std::string& instrument, int note) {
  std::erase_if(learned_, [&](const LearnedNote& l) {
    return l.note == note || SameInstrument(l.instrument, instrument);
  });
  learned_.push_back({note, instrument});
}

int LevelOfVelocity(int velocity) {
  const double loud = std::log(std::clamp(velocity, 1, 127));
  int best = 1;
  for (int level = 2; level <= 9; ++level)
    if (std::abs(std::log(KitVelocity(level)) - loud) <
        std::abs(std::log(KitVelocity(best)) - loud))
      best = level;
  return best;
}
