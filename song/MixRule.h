#pragma once
// What a song's mix makes of one kit instrument: whether it sounds, and the
// level it adds to each of its hits. The same rule serves live playback,
// the render, the stems and the MIDI file, so they agree.
#include <string_view>

#include "song/SongSettings.h"

struct MixVerdict {
  bool sounds = true;
  int levelCentiDb = 0;  // added to the hit's own volume
  // The level as a factor of amplitude: 10^(level / 2000).
  double Gain() const;
};

// The entry of an instrument, its name compared without regard to case;
// nothing when the mix leaves it plain.
const InstrumentMix* FindInstrumentMix(const KitMix& mix, std::string_view name);
bool AnySolo(const KitMix& mix);
// A muted instrument is silent; while any instrument is soloed, only soloed
// ones sound; a level of −inf is silent too.
MixVerdict MixVerdictOf(const KitMix& mix, std::string_view instrumentName);

// The mix with one instrument's entry replaced (any entry of the same name in
// another letter case goes); a plain entry is not kept.
KitMix WithInstrumentMix(KitMix mix, std::string_view name, const InstrumentMix& entry);
