#include <gtest/gtest.h>

#include "common/Exception.h"
#include "kit/Wave.h"
#include "song/PlaybackTestSupport.h"
#include "song/Toggles.h"

namespace {

using namespace std::chrono_literals;

class PatternPlayerTest : public ::testing::Test {
 protected:
  ManualUiThread ui;
  FakeHost host;
  RecordingSound sound;
  PlaybackEngine engine{ui, host, sound};

  // Sixteen steps, each naming its row, and a second channel on row 5.
  void SetUp() override {
    std::vector<std::string> rows;
    for (int row = 2; row <= 17; ++row) rows.push_back("Row" + std::to_string(row));
    host.SetPattern(rows);
    host.cells[{6, 5}] = "Last channel";
    host.cells[{1, 18}] = "Spare row";
    engine.SetUpTempo();
  }
};

TEST_F(PatternPlayerTest, SixteenStepsPlayRowsTwoToSeventeenOnceThenEnableBothButtons) {
  engine.BitBtn3Click();
  EXPECT_FALSE(host.patternButton);
  EXPECT_FALSE(host.songButton);
  EXPECT_TRUE(engine.DXTimer2().Enabled());
  EXPECT_EQ(engine.DXTimer2().Interval(), 120);
  EXPECT_EQ(engine.PlayLength(), 16);
  EXPECT_TRUE(sound.triggers.empty()) << "the first step sounds one interval after the start";
  for (int step = 0; step < 15; ++step) engine.DXTimer2Timer();
  EXPECT_TRUE(engine.DXTimer2().Enabled());
  EXPECT_FALSE(host.patternButton);
  engine.DXTimer2Timer();
  EXPECT_FALSE(engine.DXTimer2().Enabled());
  EXPECT_TRUE(host.patternButton);
  EXPECT_TRUE(host.songButton);

  std::vector<std::string> expected;
  for (int row = 2; row <= 17; ++row) {
    expected.push_back("Row" + std::to_string(row));
    if (row == 5) expected.push_back("Last channel");
  }
  EXPECT_EQ(sound.Texts(), expected);
}

TEST_F(PatternPlayerTest, RepeatWrapsToRowTwoAndAFlipTakesEffectAtTheNextStep) {
  engine.ToolButton3Click();
  EXPECT_EQ(engine.RepeatPatternImage(), Toggles::kRepeatOn);
  engine.BitBtn3Click();
  for (int step = 0; step < 16; ++step) engine.DXTimer2Timer();
  EXPECT_EQ(engine.PlayRow(), 2);
  EXPECT_TRUE(engine.DXTimer2().Enabled());
  EXPECT_FALSE(host.patternButton);
  engine.DXTimer2Timer();
  EXPECT_EQ(sound.triggers.back().text, "Row2");

  engine.ToolButton3Click();  // off again: this pass is the last
  for (int step = 0; step < 15; ++step) engine.DXTimer2Timer();
  EXPECT_FALSE(engine.DXTimer2().Enabled());
  EXPECT_EQ(sound.triggers.back().text, "Row17");
  EXPECT_TRUE(host.patternButton);
}

TEST_F(PatternPlayerTest, StartingWhileRunningRestartsAtRowTwo) {
  engine.BitBtn3Click();
  for (int step = 0; step < 5; ++step) engine.DXTimer2Timer();
  EXPECT_EQ(engine.PlayRow(), 7);
  engine.BitBtn3Click();
  EXPECT_EQ(engine.PlayRow(), 2);
  engine.DXTimer2Timer();
  EXPECT_EQ(sound.triggers.back().text, "Row2");
}

TEST_F(PatternPlayerTest, EachStepFollowsTheTempoBarButLeavesTheReadOut) {
  engine.BitBtn3Click();
  host.delay = 80;  // the song player or the program moved the bar
  engine.DXTimer2Timer();
  EXPECT_EQ(engine.DXTimer2().Interval(), 160);
  EXPECT_EQ(engine.Tempo().StepInterval(), 160);
  EXPECT_EQ(host.beatsPerMinute, "125.0");
  EXPECT_EQ(engine.Tempo().GlobalSpeed(), 60);
}

TEST_F(PatternPlayerTest, AUserMoveSetsGlobalSpeedAndReadOutWithoutTouchingTheTimers) {
  engine.BitBtn3Click();
  host.delay = 64;
  engine.DelayChange();
  EXPECT_EQ(engine.Tempo().GlobalSpeed(), 64);
  EXPECT_EQ(engine.Tempo().StepInterval(), 128);
  EXPECT_EQ(host.beatsPerMinute, "117.2");
  EXPECT_EQ(engine.DXTimer2().Interval(), 120) << "picked up at the next step";
  EXPECT_EQ(engine.DXTimer1().Interval(), 1000);
  EXPECT_FALSE(engine.DXTimer1().Enabled());
}

// Two passes of a 16-step pattern: the metronome clicks on the beats it is
// given, 'A' an accent on a bar's first beat, 'b' another beat.
TEST_F(PatternPlayerTest, TheMetronomeClicksOnTheBeatsOfItsBarAndAccentsTheFirst) {
  using When = PlaybackEngine::PatternClick::When;
  const struct {
    PlaybackEngine::PatternClick click;
    std::string heard;
  } cases[] = {
      {{When::Never, 16, 4}, "................................"},
      {{When::FirstBar, 16, 4}, "A...b...b...b..................."},
      {{When::Always, 16, 4}, "A...b...b...b...A...b...b...b..."},
      {{When::Always, 12, 3}, "A..b..b..b..A..b..b..b..A..b..b."},
      {{When::FirstBar, 32, 4}, "A...b...b...b...b...b...b...b..."},
  };
  engine.ToolButton3Click();  // repeat
  for (const auto& c : cases) {
    engine.SetPatternClick(c.click);
    engine.BitBtn3Click();
    std::string heard;
    for (int step = 0; step < 32; ++step) {
      sound.clicks.clear();
      engine.DXTimer2Timer();
      heard += sound.clicks.empty() ? '.' : (sound.clicks.front() ? 'A' : 'b');
    }
    EXPECT_EQ(heard, c.heard) << c.click.barSteps << "/" << c.click.beatSteps;
  }
}

TEST_F(PatternPlayerTest, ALoadedPatternsTempoLeavesTheGlobalSpeed) {
  host.delay = 48;
  engine.FollowDelay();
  EXPECT_EQ(engine.Tempo().StepInterval(), 96);
  EXPECT_EQ(host.beatsPerMinute, "156.3");
  EXPECT_EQ(engine.Tempo().GlobalSpeed(), 60);
}

TEST_F(PatternPlayerTest, TogglesFlipBetweenTheirImages) {
  EXPECT_EQ(engine.RepeatListImage(), 3);
  EXPECT_EQ(engine.GlobalSpeedImage(), 10);
  engine.ToolButton8Click();
  engine.ToolButton19Click();
  EXPECT_EQ(engine.RepeatListImage(), 2);
  EXPECT_EQ(engine.GlobalSpeedImage(), 11);
  engine.ToolButton8Click();
  engine.ToolButton19Click();
  EXPECT_EQ(engine.RepeatListImage(), 3);
  EXPECT_EQ(engine.GlobalSpeedImage(), 10);
}

TEST_F(PatternPlayerTest, AGridWithoutALengthStartsNothing) {
  host.cells[{2, 0}] = "16x";
  EXPECT_THROW(engine.BitBtn3Click(), EConvertError);
  EXPECT_TRUE(host.patternButton);
  EXPECT_TRUE(host.songButton);
  EXPECT_FALSE(engine.DXTimer2().Enabled());
}

TEST_F(PatternPlayerTest, APatternOfNoStepsPlaysItsFirstRowOnceEvenWithRepeat) {
  host.cells[{2, 0}] = "0";
  engine.ToolButton3Click();
  engine.BitBtn3Click();
  engine.DXTimer2Timer();
  EXPECT_FALSE(engine.DXTimer2().Enabled());
  EXPECT_TRUE(host.patternButton);
}

TEST_F(PatternPlayerTest, StartSetsThePrimaryFormatTo44200Hz16BitStereo) {
  engine.BitBtn3Click();
  ASSERT_EQ(sound.format.size(), 18u);
  const auto u16 = [&](int at) { return sound.format[at] | sound.format[at + 1] << 8; };
  const auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
  EXPECT_EQ(u16(0), 1);       // PCM
  EXPECT_EQ(u16(2), 2);       // channels
  EXPECT_EQ(u32(4), 44200);   // rate
  EXPECT_EQ(u32(8), 176800);  // bytes per second
  EXPECT_EQ(u16(12), 4);      // block align
  EXPECT_EQ(u16(14), 16);     // bits
  EXPECT_EQ(u16(16), 0);      // no extra bytes
}

TEST_F(PatternPlayerTest, StopEndsBothPlayersAndStopsOnlyTheFirstSixteenSlots) {
  host.compiled = {"//", "60", "A", "", "", "", "", "", "%%%"};
  engine.BitBtn3Click();
  engine.BitBtn12Click();
  engine.BitBtn4Click();
  std::vector<int> first16;
  for (int slot = 1; slot <= 16; ++slot) first16.push_back(slot);
  EXPECT_EQ(sound.stopped, first16);
  EXPECT_EQ(engine.StopMark(), "Stop");
  EXPECT_FALSE(engine.DXTimer1().Enabled());
  EXPECT_FALSE(engine.DXTimer2().Enabled());
  EXPECT_TRUE(engine.MainPlay().empty());
  EXPECT_TRUE(host.patternButton);
  EXPECT_TRUE(host.songButton);
  engine.BitBtn3Click();
  EXPECT_EQ(engine.StopMark(), "");
}

TEST_F(PatternPlayerTest, ACellThatCannotSoundIsSkippedAndTheStepGoesOn) {
  host.cells[{1, 2}] = "Broken";
  host.cells[{2, 2}] = "After";
  sound.failOn = [](const std::string& text) {
    if (text == "Broken") throw EWaveCollectionError("Wave 'Broken' not found");
  };
  engine.BitBtn3Click();
  engine.DXTimer2Timer();
  EXPECT_EQ(sound.Texts(), std::vector<std::string>{"After"});
  EXPECT_TRUE(engine.DXTimer2().Enabled());
  EXPECT_EQ(engine.PlayRow(), 3);
}

// Without frames from the output the steps are placed on the clock: the
// first at the start, each later one an interval after the last (more when
// the test machine held the tick up), never two rows at once.
TEST_F(PatternPlayerTest, TheTimerDrivesTheStepsAndPlacesThemAnIntervalApart) {
  host.delay = 1;  // 2 ms steps
  engine.DelayChange();
  const auto started = PlaybackSound::Clock::now();
  engine.BitBtn3Click();
  ASSERT_TRUE(ui.PumpUntil([&] { return host.patternButton; }, 10s));
  EXPECT_EQ(sound.triggers.size(), 17u);
  EXPECT_FALSE(engine.DXTimer2().Enabled());
  for (size_t i = 0; i < sound.triggers.size(); ++i) {
    ASSERT_TRUE(sound.triggers[i].at.has_value());
    EXPECT_EQ(sound.triggers[i].at->frame, -1);
    EXPECT_GE(sound.triggers[i].at->at, started);
    if (i > 0) {
      const auto gap = sound.triggers[i].at->at - sound.triggers[i - 1].at->at;
      if (i == 4) {
        EXPECT_EQ(gap, 0ms) << "row 5 sounds two channels";
      } else {
        EXPECT_GE(gap, 2ms) << i;
      }
    }
  }
}

// ---- through the kit and the device ----

class PatternPlayerSoundTest : public ::testing::Test {
 protected:
  KitRig rig;
  FakeHost host;
  PlaybackEngine engine{rig.ui, host, rig.sound};

  void SetUp() override {
    host.SetPattern(std::vector<std::string>(16));
    engine.SetUpTempo();
  }
};

TEST_F(PatternPlayerSoundTest, TheVolumeDigitSetsTheKitEntrysVolume) {
  host.cells[{1, 2}] = "Kick      [3]";
  host.cells[{1, 3}] = "kick      [ ]";  // any letter case, blank counts as 1
  host.cells[{1, 4}] = "Snare     [9]";
  engine.BitBtn3Click();
  engine.DXTimer2Timer();
  EXPECT_EQ(rig.kit.Items.Find("Kick      [ ]").Volume, -1500);
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kKickLevel, -1500), 2.0);
  EXPECT_EQ(host.Cell(1, 2), "Kick      [3]") << "the grid keeps its digit";
  engine.DXTimer2Timer();
  EXPECT_EQ(rig.kit.Items.Find("Kick      [ ]").Volume, -500);
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kKickLevel, -500), 2.0);
  engine.DXTimer2Timer();
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kSnareLevel, -4500), 2.0);
}

TEST_F(PatternPlayerSoundTest, AnEditMadeWhilePlayingIsHeardWhenThePlayerReachesIt) {
  host.cells[{1, 2}] = "Kick      [1]";
  host.cells[{1, 4}] = "Kick      [1]";
  engine.BitBtn3Click();
  engine.DXTimer2Timer();
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kKickLevel, -500), 2.0);
  host.cells[{1, 4}] = "Snare     [1]";  // the user edits row 4 while row 3 is next
  engine.DXTimer2Timer();
  EXPECT_EQ(rig.Listen(), 0.0);
  engine.DXTimer2Timer();
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kSnareLevel, -500), 2.0);
}

// The metronome is heard through the kit's device, the bar's first beat
// higher than the others, and again after the device was closed and opened.
TEST_F(PatternPlayerSoundTest, TheMetronomeClickIsHeardAndTheAccentIsHigher) {
  engine.SetPatternClick({PlaybackEngine::PatternClick::When::Always, 16, 1});
  engine.BitBtn3Click();
  auto listen = [&] {
    rig.tape->Clear();
    rig.tape->RenderFrames(480);
    const auto samples = rig.tape->Samples();
    double peak = 0;
    int crossings = 0;
    for (size_t i = 0; i < samples.size(); i += 2) {
      peak = std::max(peak, In16(samples[i]));
      if (i >= 2 && (samples[i] < 0) != (samples[i - 2] < 0)) ++crossings;
    }
    return std::pair{peak, crossings};
  };
  for (int round = 0; round < 2; ++round) {
    engine.DXTimer2Timer();
    const auto [accentPeak, accentCrossings] = listen();
    engine.DXTimer2Timer();
    const auto [beatPeak, beatCrossings] = listen();
    EXPECT_GT(accentPeak, 8000) << "round " << round;
    EXPECT_GT(beatPeak, 8000) << "round " << round;
    EXPECT_GT(accentCrossings, beatCrossings) << "round " << round;
    rig.device.Finalize();  // the clicks made on the old device go with it
    rig.device.Initialize();
    engine.BitBtn3Click();
  }
}

TEST_F(PatternPlayerSoundTest, SampleCellsRestartTheirSlotAfterTheLastKitEntry) {
  ASSERT_EQ(rig.instruments.LastKitIndex(), 2);
  host.cells[{1, 2}] = "Sample1";
  host.cells[{2, 2}] = "SAMPLE32";
  engine.BitBtn3Click();
  engine.DXTimer2Timer();
  EXPECT_EQ(rig.slots.restarted, (std::vector<int>{1, 32}));
}

TEST_F(PatternPlayerSoundTest, CellsThatCannotSoundAreSkippedAndTheTimerRuns) {
  rig.slots.failing = 2;
  host.cells[{1, 2}] = "Kick      [";    // exactly 11 characters
  host.cells[{2, 2}] = "Kick      [x]";  // not a digit
  host.cells[{3, 2}] = "Sample2";        // the slot cannot play
  host.cells[{4, 2}] = "Unknown   [ ]";  // no such entry: silent
  host.cells[{5, 2}] = "Snare     [1]";
  engine.BitBtn3Click();
  engine.DXTimer2Timer();
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kSnareLevel, -500), 2.0);
  EXPECT_TRUE(engine.DXTimer2().Enabled());

  // A chooser item whose kit entry has gone: the entry is missing from the kit.
  rig.kit.Items.Find("Snare     [ ]").SetName("Renamed");
  host.cells[{1, 3}] = "Snare     [1]";
  host.cells[{2, 3}] = "Kick      [1]";
  engine.DXTimer2Timer();
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kKickLevel, -500), 2.0);
  EXPECT_TRUE(engine.DXTimer2().Enabled());
}

TEST_F(PatternPlayerSoundTest, StopLeavesSlotsSeventeenToThirtyTwoSoundingAndKitSoundsPlayOn) {
  host.cells[{1, 2}] = "Kick      [1]";
  engine.BitBtn3Click();
  engine.DXTimer2Timer();
  engine.BitBtn4Click();
  std::vector<int> first16;
  for (int slot = 1; slot <= 16; ++slot) first16.push_back(slot);
  EXPECT_EQ(rig.slots.stopped, first16);
  EXPECT_NEAR(rig.Listen(), Heard(KitRig::kKickLevel, -500), 2.0);
}

// The grid's pattern swings as the render swings it, its rows counted from
// the first; a change of the groove holds from the next step on.
TEST_F(PatternPlayerTest, SwingDelaysEverySecondStepAndAChangeHoldsFromTheNextStep) {
  engine.SetGroove({50, 0, 0, 0});
  engine.BitBtn3Click();
  for (int step = 0; step < 4; ++step) engine.DXTimer2Timer();
  engine.SetGroove({25, 0, 0, 0});
  for (int step = 0; step < 2; ++step) engine.DXTimer2Timer();
  engine.SetGroove({});
  for (int step = 0; step < 2; ++step) engine.DXTimer2Timer();
  ASSERT_EQ(sound.triggers.size(), 9u);  // row 5 has a second channel
  std::vector<PlaybackSound::Clock::time_point> onsets;
  for (const auto& trigger : sound.triggers)
    if (trigger.text != "Last channel")
      onsets.push_back(trigger.at->at + std::chrono::duration_cast<PlaybackSound::Clock::duration>(
                                            std::chrono::duration<double>(trigger.at->afterDue)));
  // Steps of 120 ms: 0, 180 (1.5 steps), 240, 420, 480, 630 (at 25 %), 720, 840.
  const std::vector<int> gapsMs{180, 60, 180, 60, 150, 90, 120};
  for (size_t i = 1; i < onsets.size(); ++i) {
    const auto gap = std::chrono::duration<double, std::milli>(onsets[i] - onsets[i - 1]);
    EXPECT_NEAR(gap.count(), gapsMs[i - 1], 1e-3) << "step " << i;
  }
}

}  // namespace
