#include "song/MixRule.h"

#include <algorithm>
#include <cmath>

#include "common/Text.h"

double MixVerdict::Gain() const {
  if (!sounds) return 0.0;
  return std::pow(10.0, levelCentiDb / 2000.0);
}

const InstrumentMix* FindInstrumentMix(const KitMix& mix, std::string_view name) {
  for (const auto& [key, entry] : mix)
    if (SameTextIgnoringCase(key, name)) return &entry;
  return nullptr;
}

bool AnySolo(const KitMix& mix) {
  return std::any_of(mix.begin(), mix.end(), [](const auto& entry) { return entry.second.solo; });
}

MixVerdict MixVerdictOf(const KitMix& mix, std::string_view instrumentName) {
  const InstrumentMix* entry = FindInstrumentMix(mix, instrumentName);
  const InstrumentMix plain;
  const InstrumentMix& m = entry ? *entry : plain;
  MixVerdict verdict;
  verdict.levelCentiDb =
      std::clamp(m.levelCentiDb, InstrumentMix::kSilent, InstrumentMix::kMostLevel);
  verdict.sounds =
      !m.mute && (m.solo || !AnySolo(mix)) && verdict.levelCentiDb > InstrumentMix::kSilent;
  return verdict;
}

KitMix WithInstrumentMix(KitMix mix, std::string_view name, const InstrumentMix& entry) {
  std::erase_if(mix, [&](const auto& kept) { return SameTextIgnoringCase(kept.first, name); });
  if (!entry.IsPlain()) mix[std::string(name)] = entry;
  return mix;
}
