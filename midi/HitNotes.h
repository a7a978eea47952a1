#pragma once
// A played cell as the General MIDI drum note the MIDI file export writes
// for it: the same note map and the same velocities (the volume digit, the
// song's mix level, the groove's humanize, a slot's volume).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "song/SongSettings.h"

class InstrumentTable;

struct DrumNote {
  int note = 0;      // on channel 10
  int velocity = 0;  // 1 .. 127
  bool operator==(const DrumNote&) const = default;
};

class HitNotes {
 public:
  // A sample slot's volume (slot 1 .. 32) in hundredths of a decibel.
  using SlotVolume = std::function<std::int32_t(int slot)>;

  // chooser (and mix, when given) must outlive this object; both are read at
  // every hit, so a new kit or mix counts from the next hit on.
  explicit HitNotes(const InstrumentTable& chooser, const KitMix* mix = nullptr,
                    SlotVolume slotVolume = {});

  // Nothing for a cell that sounds nothing, names no note, is silenced by
  // the mix or has a bad volume digit.
  std::optional<DrumNote> NoteOf(const std::string& cell, int quieterTenthDb = 0) const;

 private:
  const std::vector<int>& Notes() const;

  const InstrumentTable& chooser_;
  const KitMix* mix_;
  SlotVolume slotVolume_;
  mutable std::vector<std::string> notedItems_;  // the chooser the notes were made for
  mutable std::vector<int> notes_;
};
