#include "kit/VoiceGroups.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "kit/InstrumentTable.h"
#include "kit/Mixer.h"
#include "kit/WaveCollection.h"

namespace {

std::string PortStem(const std::string& entry) {
  std::string stem;
  for (const char c : InstrumentName(entry)) {
    const bool kept = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    stem += kept ? c : '_';
  }
  return stem;
}

struct Published {
  std::vector<VoiceGroup> groups = VoiceGroupsOf(std::vector<std::string>{});
  std::function<void(const std::vector<VoiceGroup>&)> listener;
};

Published& Shared() {
  static Published published;
  return published;
}

}  // namespace

std::vector<VoiceGroup> VoiceGroupsOf(const std::vector<std::string>& entryNames) {
  std::vector<VoiceGroup> groups;
  std::set<std::string> taken{"Samples", "out"};
  const int count = std::min<int>(static_cast<int>(entryNames.size()), Mixer::kMeters);
  for (int meter = 1; meter < count; ++meter) {
    std::string stem = PortStem(entryNames[meter]);
    if (stem.empty()) continue;
    if (taken.count(stem)) stem += "_" + std::to_string(meter);
    taken.insert(stem);
    groups.push_back({meter, stem});
  }
  groups.push_back({0, "Samples"});
  return groups;
}

std::vector<VoiceGroup> VoiceGroupsOf(const TWaveCollection& kit) {
  std::vector<std::string> names;
  for (int i = 0; i < kit.Count(); ++i) names.push_back(kit[i].Name());
  return VoiceGroupsOf(names);
}

void PublishVoiceGroups(const TWaveCollection& kit) {
  Published& shared = Shared();
  shared.groups = VoiceGroupsOf(kit);
  if (shared.listener) shared.listener(shared.groups);
}

std::vector<VoiceGroup> PublishedVoiceGroups() {
  return Shared().groups;
}

void ListenToVoiceGroups(std::function<void(const std::vector<VoiceGroup>&)> listener) {
  Published& shared = Shared();
  shared.listener = std::move(listener);
  if (shared.listener) shared.listener(shared.groups);
}
