// Voice groups: a port stem per named kit entry by its meter, Samples for
// everything else; names a port can't carry are made safe and unique.
#include <gtest/gtest.h>

#include "kit/VoiceGroups.h"

namespace {

struct Case {
  std::vector<std::string> entries;
  std::vector<VoiceGroup> groups;
};

class VoiceGroupNames : public ::testing::TestWithParam<Case> {};

TEST_P(VoiceGroupNames, EntriesGiveTheirStems) {
  const auto groups = VoiceGroupsOf(GetParam().entries);
  ASSERT_EQ(groups.size(), GetParam().groups.size());
  for (size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i].meter, GetParam().groups[i].meter) << i;
    EXPECT_EQ(groups[i].name, GetParam().groups[i].name) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kits, VoiceGroupNames,
    ::testing::Values(
        Case{{}, {{0, "Samples"}}},
        Case{{"", "Kick      [ ]", "Snare     [ ]"}, {{1, "Kick"}, {2, "Snare"}, {0, "Samples"}}},
        // The blank entry (0) is never a group; an unnamed entry neither.
        Case{{"Blank", "", "HiHat"}, {{2, "HiHat"}, {0, "Samples"}}},
        // ':' separates client and port: not in a stem.
        Case{{"", "Tom:Low", "Clap Big"}, {{1, "Tom_Low"}, {2, "Clap_Big"}, {0, "Samples"}}},
        // A name met before, or one of the main pair's or Samples', takes its meter.
        Case{{"", "Kick", "Kick", "Samples", "out"},
             {{1, "Kick"}, {2, "Kick_2"}, {3, "Samples_3"}, {4, "out_4"}, {0, "Samples"}}}));

TEST(VoiceGroups, ListenersHearTheGroupsAtOnceAndOnEachChange) {
  std::vector<std::vector<VoiceGroup>> heard;
  ListenToVoiceGroups([&](const std::vector<VoiceGroup>& groups) { heard.push_back(groups); });
  ASSERT_EQ(heard.size(), 1u);
  ListenToVoiceGroups(nullptr);
}

}  // namespace
