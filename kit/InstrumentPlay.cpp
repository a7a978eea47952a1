#include "kit/InstrumentPlay.h"

#include "kit/DXWaveList.h"

void PlayInstrument(const InstrumentSound& sound, TDXWaveList& kit, SlotPlayer* slotPlayer,
                    bool applyVolume, VoiceMix mix) {
  switch (sound.kind) {
    case InstrumentSound::Kind::Silent:
      return;
    case InstrumentSound::Kind::KitEntry: {
      TWaveCollectionItem& entry = kit.Items.Find(sound.entryName);
      if (applyVolume) entry.Volume = sound.volume;
      kit.Play(entry, false, mix);
      return;
    }
    case InstrumentSound::Kind::Slot:
      if (slotPlayer) slotPlayer->RestartSlot(sound.slot);
      return;
  }
}
