// Bars, beats and tempo of a song's blocks as a transport counts them.
#include <gtest/gtest.h>

#include "song/SongTimeline.h"

namespace {

struct Case {
  double seconds;
  int bar, beat, tick;
  double beatsPerMinute;
  float beatsPerBar;
};

// A: 16 rows a bar, a beat every 4, 0.1 s a row, two bars. B: 12 rows a bar,
// a beat every 3, 0.05 s a row, from 3.2 s.
SongTimeline TwoBlocks() {
  return SongTimeline({{0.0, 0.1, 32, 16, 4}, {3.2, 0.05, 24, 12, 3}});
}

class SongTimelineAt : public ::testing::TestWithParam<Case> {};

TEST_P(SongTimelineAt, GivesBarBeatAndTempo) {
  const Case c = GetParam();
  const BarBeatTick at = TwoBlocks().At(c.seconds);
  EXPECT_EQ(at.bar, c.bar);
  EXPECT_EQ(at.beat, c.beat);
  EXPECT_NEAR(at.tick, c.tick, 1);
  EXPECT_NEAR(at.beatsPerMinute, c.beatsPerMinute, 1e-9);
  EXPECT_FLOAT_EQ(at.beatsPerBar, c.beatsPerBar);
  EXPECT_DOUBLE_EQ(at.barStartTick, (at.bar - 1) * at.beatsPerBar * SongTimeline::kTicksPerBeat);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, SongTimelineAt,
    ::testing::Values(Case{0.0, 1, 1, 0, 150, 4}, Case{0.2, 1, 1, 960, 150, 4},
                      Case{0.41, 1, 2, 48, 150, 4}, Case{1.61, 2, 1, 48, 150, 4},
                      Case{3.1, 2, 4, 1440, 150, 4}, Case{3.2, 3, 1, 0, 400, 4},
                      Case{3.36, 3, 2, 128, 400, 4}, Case{3.81, 4, 1, 128, 400, 4},
                      // Past the end the last block goes on.
                      Case{5.61, 7, 1, 128, 400, 4}));

TEST(SongTimeline, AnEmptySongIsBarOneAtTheDefaultTempo) {
  const BarBeatTick at = SongTimeline().At(12.0);
  EXPECT_EQ(at.bar, 1);
  EXPECT_EQ(at.beat, 1);
  EXPECT_EQ(at.beatsPerMinute, 120);
}

TEST(SongTimeline, TheLastPublishedIsRead) {
  PublishSongTimeline(TwoBlocks());
  ASSERT_NE(PublishedSongTimeline(), nullptr);
  EXPECT_EQ(PublishedSongTimeline()->At(3.2).bar, 3);
  PublishSongTimeline(SongTimeline());
  EXPECT_TRUE(PublishedSongTimeline()->Empty());
}

}  // namespace
