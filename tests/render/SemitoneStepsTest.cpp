#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/SemitoneSteps.h"
#include "render/SlotShortName.h"

TEST(SemitoneSteps, ExamplesRoundToTheNearestFrequency) {
  EXPECT_EQ(SemitoneFrequency(22050, -100), 20812);
  EXPECT_EQ(SemitoneFrequency(22050, 100), 23361);
  EXPECT_EQ(SemitoneFrequency(44100, 100), 46722);
  EXPECT_EQ(SemitoneFrequency(44100, -1200), 22050);
  EXPECT_EQ(SemitoneFrequency(11025, 700), 16519);
  EXPECT_EQ(SemitoneFrequency(44100, 0), 44100);
}

TEST(SemitoneSteps, UpUpDownLeavesOneSemitoneUp) {
  SlotPitch pitch{22050, 0};
  EXPECT_EQ(pitch.Step(100), 23361);
  EXPECT_EQ(pitch.Step(100), SemitoneFrequency(22050, 200));
  EXPECT_EQ(pitch.Step(-100), 23361);
  EXPECT_EQ(pitch.offsetCents, 100);
  EXPECT_EQ(pitch.Step(-100), 22050);  // back to the base exactly
}

TEST(SemitoneSteps, ANewBaseKeepsTheOffset) {
  SlotPitch pitch{22050, -300};
  pitch.baseFrequency = 44100;  // another file opened into the slot
  EXPECT_EQ(pitch.Step(100), std::lround(44100 * std::exp2(-200 / 1200.0)));
  EXPECT_EQ(pitch.offsetCents, -200);
}

TEST(SemitoneSteps, ExtremeValuesStayInRange) {
  constexpr int64_t kHighest = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(SemitoneFrequency(44100, 1200 * 100), kHighest);
  EXPECT_EQ(SemitoneFrequency(-44100, 1200 * 100), -kHighest);
  EXPECT_EQ(SemitoneFrequency(0, std::numeric_limits<int>::max()), 0);
  EXPECT_EQ(SemitoneFrequency(44100, -1200 * 100), 0);
  SlotPitch pitch{44100, std::numeric_limits<int>::max() - 50};
  pitch.Step(100);  // would overflow: the offset stays
  EXPECT_EQ(pitch.offsetCents, std::numeric_limits<int>::max() - 50);
}

TEST(SlotShortName, DropsFolderAndExtensionAndCutsToEight) {
  EXPECT_EQ(SlotShortName("/home/me/kick.wav"), "kick");
  EXPECT_EQ(SlotShortName("C:\\waves\\LongSampleName.wav"), "LongSamp");
  EXPECT_EQ(SlotShortName("Blank.wav"), "Blank");
  EXPECT_EQ(SlotShortName("/x/.wav"), "");
  EXPECT_EQ(SlotShortName("/x/a"), "");
  EXPECT_EQ(SlotShortName("/x/noext"), "n");
}
