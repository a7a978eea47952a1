// The playhead: the steps the players place, read back by the sound heard.
#include <gtest/gtest.h>

#include <map>

#include "song/PlaybackTestSupport.h"
#include "song/Playhead.h"

namespace {

using namespace std::chrono_literals;
using Kind = PlayheadMark::Kind;
using Clock = PlayheadRecord::Clock;

constexpr int64_t kNone = -1;

int64_t Shown(const std::optional<PlayheadMark>& mark) {
  return mark ? mark->where : kNone;
}

}  // namespace

TEST(PlayheadRecord, ShowsTheLatestStepWhoseFrameIsHeard) {
  PlayheadRecord record;
  for (int row = 2; row <= 5; ++row) record.Publish({Kind::Pattern, row, (row - 1) * 1000, 0});
  record.Publish({Kind::None, 0, 5000, 0});  // the player ended after row 5's step
  const auto now = Clock::now();
  struct Case {
    int64_t heard, row;
  };
  for (const Case& c :
       std::vector<Case>{{999, kNone}, {1000, 2}, {1999, 2}, {2000, 3}, {4999, 5}, {5000, kNone}}) {
    EXPECT_EQ(Shown(record.Sounding(c.heard, now)), c.row) << c.heard;
    EXPECT_EQ(record.Finished(c.heard, now), c.heard >= 5000) << c.heard;
  }
  EXPECT_EQ(Shown(record.Sounding(std::nullopt, now)), kNone) << "frames need a heard frame";
}

TEST(PlayheadRecord, StepsPlacedByMomentAreHeardAtTheirMoments) {
  PlayheadRecord record;
  const auto start = Clock::now();
  for (int row = 2; row <= 4; ++row)
    record.Publish({Kind::Pattern, row, -1, PlayheadMoment(start + (row - 2) * 100ms)});
  struct Case {
    std::chrono::milliseconds after;
    int64_t row;
  };
  for (const Case& c : std::vector<Case>{{-1ms, kNone}, {0ms, 2}, {150ms, 3}, {900ms, 4}})
    EXPECT_EQ(Shown(record.Sounding(std::nullopt, start + c.after)), c.row) << c.after.count();
}

TEST(PlayheadRecord, AStopHidesItAtOnceAndTheRingKeepsTheNewestSteps) {
  PlayheadRecord record;
  const auto now = Clock::now();
  for (int step = 0; step < 100; ++step) record.Publish({Kind::Song, step, step * 10, 0});
  EXPECT_EQ(Shown(record.Sounding(905, now)), 90);
  EXPECT_EQ(Shown(record.Sounding(5, now)), kNone) << "older than the ring holds";
  EXPECT_FALSE(record.Finished(2000, now));
  record.Clear();
  EXPECT_EQ(Shown(record.Sounding(2000, now)), kNone);
  EXPECT_TRUE(record.Finished(2000, now));
}

// Through the kit and a captured output that renders when asked: a step
// is shown from the block its sound starts in, not when it is placed.
TEST(PlayheadFollowsTheOutput, EachRowIsShownFromTheBlockItsSoundStartsIn) {
  KitRig rig;
  FakeHost host;
  host.SetPattern({"Kick      [ ]", "Snare     [ ]", "", "Kick      [ ]"});
  host.delay = 5;  // 10 ms steps
  PlaybackEngine engine{rig.ui, host, rig.sound};
  engine.SetUpTempo();
  engine.BitBtn3Click();
  struct Case {
    int64_t row;
    bool heard;  // a sound starts with the row
  };
  int64_t before = kNone;
  for (const Case& c : std::vector<Case>{{2, true}, {3, true}, {4, false}, {5, true}}) {
    engine.DXTimer2Timer();
    EXPECT_EQ(Shown(engine.SoundingAt(Clock::now())), before) << "placed, not yet heard";
    const double peak = rig.Listen(240);
    EXPECT_EQ(Shown(engine.SoundingAt(Clock::now())), c.row);
    EXPECT_EQ(peak > 0, c.heard) << c.row;
    before = c.row;
  }
  EXPECT_FALSE(engine.PatternPlaying());
  EXPECT_FALSE(engine.PlayheadFinished(Clock::now())) << "the last step sounds its interval";
  rig.Listen(240);
  EXPECT_EQ(Shown(engine.SoundingAt(Clock::now())), 5);
  rig.Listen(240);
  EXPECT_EQ(Shown(engine.SoundingAt(Clock::now())), kNone);
  EXPECT_TRUE(engine.PlayheadFinished(Clock::now()));
}

// On an output that follows the clock the steps are placed ahead; each
// mark's frame is where its sound starts in the recording.
TEST(PlayheadFollowsTheOutput, OnARealTimeOutputEachMarkIsAtItsOnset) {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.pacing = CaptureTape::Pacing::RealTime;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(kRate * 4);
  KitRig rig(tape);
  FakeHost host;
  host.SetPattern(std::vector<std::string>(8, "Kick      [ ]"));
  host.delay = 20;  // 40 ms steps
  PlaybackEngine engine{rig.ui, host, rig.sound};
  engine.SetUpTempo();
  std::map<int64_t, int64_t> frames;  // by row
  auto note = [&] {
    if (const auto heard = engine.SoundingAt(Clock::now())) frames[heard->where] = heard->frame;
  };
  // The output clock settles first, as it has long before a user presses play.
  ASSERT_FALSE(rig.ui.PumpUntil([] { return false; }, 300ms));
  engine.BitBtn3Click();
  ASSERT_TRUE(rig.ui.PumpUntil(
      [&] {
        note();
        return !engine.PatternPlaying();
      },
      10s));
  ASSERT_TRUE(rig.ui.PumpUntil(
      [&] {
        note();
        return engine.PlayheadFinished(Clock::now());
      },
      10s));
  rig.ui.PumpUntil([] { return false; }, 100ms);
  const auto samples = tape->Samples();
  ASSERT_EQ(frames.size(), 8u);
  for (const auto& [row, frame] : frames) {
    ASSERT_GT(frame, 0) << row;
    int64_t onset = std::max<int64_t>(0, frame - 480);
    while (onset * 2 < static_cast<int64_t>(samples.size()) && samples[onset * 2] == 0) ++onset;
    EXPECT_NEAR(onset, frame, 1) << "row " << row;
  }
}

TEST(PlayheadFollowsTheOutput, StopHidesThePlayheadAndTheSongMarksItsPositions) {
  KitRig rig;
  FakeHost host;
  host.compiled = {"//", "5",  "Kick      [ ]", "", "", "", "", "", "Kick      [ ]", "", "", "", "",
                   "",   "%%%"};
  PlaybackEngine engine{rig.ui, host, rig.sound};
  engine.SetUpTempo();
  engine.BitBtn12Click();
  engine.DXTimer1Timer();
  rig.tape->RenderFrames(1);
  auto sounding = engine.SoundingAt(Clock::now());
  ASSERT_TRUE(sounding);
  EXPECT_EQ(sounding->kind, Kind::Song);
  EXPECT_EQ(sounding->where, 2) << "the sequence position of the first row";
  engine.BitBtn4Click();
  EXPECT_FALSE(engine.SoundingAt(Clock::now()));
  EXPECT_TRUE(engine.PlayheadFinished(Clock::now()));
}
