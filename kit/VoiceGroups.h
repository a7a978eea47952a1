#pragma once
// The groups the mixer's voices fall into, by the meter each carries: the
// kit's entries by their index, and group 0 for every sound of no entry (the
// sample slots among them). A sound server offers a port pair per group.
#include <functional>
#include <string>
#include <vector>

class TWaveCollection;

struct VoiceGroup {
  int meter = 0;     // the voices' meter; 0: sounds of no kit entry
  std::string name;  // the ports' stem: "Kick" gives Kick_L and Kick_R
};

// The kit's groups, then "Samples" (meter 0). Names keep letters, digits, '-'
// and '_' (others become '_'); an entry without a name has no group, and a
// name met before gets its meter appended.
std::vector<VoiceGroup> VoiceGroupsOf(const std::vector<std::string>& entryNames);
std::vector<VoiceGroup> VoiceGroupsOf(const TWaveCollection& kit);

// The main window's kit changed (UI thread): whoever listens hears of it.
void PublishVoiceGroups(const TWaveCollection& kit);
std::vector<VoiceGroup> PublishedVoiceGroups();
// One listener (a sound server's output); null: none. Called at once with
// the groups known so far.
void ListenToVoiceGroups(std::function<void(const std::vector<VoiceGroup>&)> listener);
