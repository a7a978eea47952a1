#pragma once
// Sounding what a text resolved to: a kit entry as a fresh duplicate, or a
// sample slot restarted from its beginning.
#include "kit/DXWaveList.h"
#include "kit/InstrumentTable.h"

// The sample slots as the players reach them; the sample editor owns them.
class SlotPlayer {
 public:
  virtual ~SlotPlayer() = default;
  // Position 0, then play: a sounding slot starts again.
  virtual void RestartSlot(int slot) = 0;
  virtual void StopSlot(int slot) = 0;
};

// Plays the sound. With applyVolume the kit entry's Volume is set from the
// volume digit first, as playback does. Errors are raised to the caller.
// mix: the song's level and meter for a kit entry.
void PlayInstrument(const InstrumentSound& sound, TDXWaveList& kit, SlotPlayer* slotPlayer,
                    bool applyVolume, VoiceMix mix = {});
