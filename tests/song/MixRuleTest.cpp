// Changing one instrument's entry of a song's mix.
#include <gtest/gtest.h>

#include "song/MixRule.h"

namespace {

TEST(MixRule, AnInstrumentsEntryIsReplacedWhateverItsLetterCaseAndPlainOnesGo) {
  const InstrumentMix muted{0, true, false}, louder{300, false, false}, plain{};
  struct Case {
    const char* what;
    KitMix before;
    const char* name;
    InstrumentMix entry;
    KitMix after;
  };
  const Case cases[] = {
      {"added", {}, "Kick", muted, {{"Kick", muted}}},
      {"replaced", {{"Kick", muted}}, "Kick", louder, {{"Kick", louder}}},
      {"another case", {{"KICK", muted}}, "Kick", louder, {{"Kick", louder}}},
      {"made plain", {{"Kick", muted}, {"Snare", louder}}, "kick", plain, {{"Snare", louder}}},
      {"plain stays out", {}, "Tom1", plain, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WithInstrumentMix(c.before, c.name, c.entry), c.after) << c.what;
}

}  // namespace
