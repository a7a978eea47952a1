#include "midi/HitNotes.h"

#include <algorithm>
#include <exception>

#include "kit/InstrumentTable.h"
#include "render/GmDrumMap.h"
#include "render/MidiExport.h"
#include "song/MixRule.h"

HitNotes::HitNotes(const InstrumentTable& chooser, const KitMix* mix, SlotVolume slotVolume)
    : chooser_(chooser), mix_(mix), slotVolume_(std::move(slotVolume)) {}

const std::vector<int>& HitNotes::Notes() const {
  // The map depends on the whole chooser (free notes go in its order).
  if (notedItems_ != chooser_.Items()) {
    notedItems_ = chooser_.Items();
    notes_ = DrumNotes(chooser_);
  }
  return notes_;
}

std::optional<DrumNote> HitNotes::NoteOf(const std::string& cell, int quieterTenthDb) const {
  std::string text = cell;
  int level = 1;
  try {
    level = TakeVolumeLevel(text);
  } catch (const std::exception&) {
    return std::nullopt;  // playback leaves such a cell silent too
  }
  const int index = chooser_.IndexOf(text);
  const std::vector<int>& notes = Notes();
  if (index < 1 || index >= static_cast<int>(notes.size())) return std::nullopt;
  const int note = notes[static_cast<std::size_t>(index)];
  if (note < 0) return std::nullopt;
  if (index > chooser_.LastKitIndex()) {
    const int slot = index - chooser_.LastKitIndex();
    const double decibels = slotVolume_ ? slotVolume_(slot) / 100.0 : 0.0;
    return DrumNote{note, VelocityOfDecibels(decibels)};
  }
  MixVerdict mixed;
  if (mix_) mixed = MixVerdictOf(*mix_, InstrumentName(chooser_.Item(index)));
  if (!mixed.sounds) return std::nullopt;
  const double decibels =
      -5.0 * (std::max(level, 1) - 1) + mixed.levelCentiDb / 100.0 - quieterTenthDb / 10.0;
  return DrumNote{note, VelocityOfDecibels(decibels)};
}
