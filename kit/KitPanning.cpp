#include "kit/KitPanning.h"

#include "kit/WaveCollection.h"

namespace {
constexpr int kPositions = 16;

// The kit entry named by chooser item k, if k is a kit position.
TWaveCollectionItem* EntryAt(const InstrumentTable& chooser, const TWaveCollection& kit, int k) {
  if (k > chooser.LastKitIndex() || chooser.Item(k).empty()) return nullptr;
  const int index = kit.IndexOfName(chooser.Item(k));
  return index < 0 ? nullptr : &kit[index];
}
}  // namespace

void ApplyPanningTable(const PanningTable& table, const InstrumentTable& chooser,
                       TWaveCollection& kit) {
  for (int k = 1; k <= kPositions; ++k) {
    TWaveCollectionItem* entry = EntryAt(chooser, kit, k);
    if (entry && table.Value(k)) entry->Pan = *table.Value(k);
  }
}

std::vector<int> ComposePanningTable(const InstrumentTable& chooser, const TWaveCollection& kit,
                                     bool kitLoaded, const PanningTable& readAtStartUp) {
  std::vector<int> values;
  for (int k = 0; k <= kPositions; ++k) {
    if (!kitLoaded) {
      values.push_back(readAtStartUp.Value(k).value_or(0));
      continue;
    }
    const TWaveCollectionItem* entry = EntryAt(chooser, kit, k);
    values.push_back(entry ? entry->Pan : 0);
  }
  return values;
}

std::vector<std::optional<PositionSettings>> RememberByPosition(const InstrumentTable& chooser,
                                                                const TWaveCollection& kit) {
  std::vector<std::optional<PositionSettings>> settings(kPositions + 1);
  for (int k = 1; k <= kPositions; ++k)
    if (const TWaveCollectionItem* entry = EntryAt(chooser, kit, k))
      settings[k] = PositionSettings{entry->Pan, entry->Volume};
  return settings;
}

void RestoreByPosition(const std::vector<std::optional<PositionSettings>>& settings,
                       const InstrumentTable& chooser, TWaveCollection& kit) {
  for (int k = 1; k <= kPositions && k < static_cast<int>(settings.size()); ++k) {
    TWaveCollectionItem* entry = EntryAt(chooser, kit, k);
    if (entry && settings[k]) {
      entry->Pan = settings[k]->pan;
      entry->Volume = settings[k]->volume;
    }
  }
}

std::vector<std::optional<PositionSettings>> WithPans(
    std::vector<std::optional<PositionSettings>> settings,
    const std::vector<std::optional<int>>& pans) {
  settings.resize(kPositions + 1);
  for (int k = 1; k <= kPositions && k < static_cast<int>(pans.size()); ++k) {
    if (!pans[k]) continue;
    PositionSettings position = settings[k].value_or(PositionSettings{});
    position.pan = *pans[k];
    settings[k] = position;
  }
  return settings;
}

std::vector<std::optional<PositionSettings>> WithPans(
    std::vector<std::optional<PositionSettings>> settings, const PanningTable& table) {
  std::vector<std::optional<int>> pans;
  for (int k = 0; k <= kPositions; ++k) pans.push_back(table.Value(k));
  return WithPans(std::move(settings), pans);
}
