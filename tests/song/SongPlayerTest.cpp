#include <gtest/gtest.h>

#include "common/Exception.h"
#include "render/GrooveHits.h"
#include "render/HitTable.h"
#include "render/wavaudio.h"
#include "song/HitGroove.h"
#include "song/PlaybackTestSupport.h"
#include "song/Toggles.h"

namespace {

using namespace std::chrono_literals;

// A compiled pattern block: header, tempo, then each row's six cells, once per loop.
std::vector<std::string> Block(int tempo, const std::vector<std::string>& rows, int loops) {
  std::vector<std::string> lines{"//", std::to_string(tempo)};
  for (int loop = 0; loop < loops; ++loop)
    for (const auto& row : rows) {
      lines.push_back(row);
      for (int cell = 1; cell < 6; ++cell) lines.emplace_back();
    }
  return lines;
}

class SongPlayerTest : public ::testing::Test {
 protected:
  ManualUiThread ui;
  FakeHost host;
  RecordingSound sound;
  PlaybackEngine engine{ui, host, sound};

  // A: tempo 48, two steps, two loops; B: tempo 80, one step, one loop.
  void SetUp() override {
    host.compiled = Block(48, {"A1", "A2"}, 2);
    const auto b = Block(80, {"B1"}, 1);
    host.compiled.insert(host.compiled.end(), b.begin(), b.end());
    host.compiled.push_back("%%%");
    host.playListCount = 2;
    engine.SetUpTempo();
  }
};

TEST_F(SongPlayerTest, LoopsPlayInTurnAndTheTempoChangesAtThePatternBoundary) {
  engine.BitBtn12Click();
  EXPECT_FALSE(host.patternButton);
  EXPECT_FALSE(host.songButton);
  EXPECT_EQ(engine.MainPlay().size(), 2u + 24 + 2 + 6 + 1);

  std::vector<int> intervals;
  std::vector<std::string> readOuts;
  for (int step = 0; step < 5; ++step) {
    engine.DXTimer1Timer();
    intervals.push_back(engine.DXTimer1().Interval());
    readOuts.push_back(host.beatsPerMinute);
  }
  EXPECT_EQ(sound.Texts(), (std::vector<std::string>{"A1", "A2", "A1", "A2", "B1"}));
  EXPECT_EQ(intervals, (std::vector<int>{96, 96, 96, 96, 160}));
  EXPECT_EQ(readOuts, (std::vector<std::string>{"156.3", "156.3", "156.3", "156.3", "93.8"}));
  EXPECT_EQ(host.delay, kStartTempoPosition) << "the edited pattern keeps its own tempo";
  EXPECT_EQ(engine.Tempo().StepInterval(), 120) << "a header leaves the pattern step interval";

  // "%%%" followed the last row: the song ended on that step.
  EXPECT_FALSE(engine.DXTimer1().Enabled());
  EXPECT_TRUE(engine.MainPlay().empty());
  EXPECT_TRUE(host.patternButton);
  EXPECT_TRUE(host.songButton);
  EXPECT_EQ(host.selected, 0);
}

TEST_F(SongPlayerTest, RepeatPlayListStartsAgainAtTheFirstCompiledPattern) {
  engine.ToolButton8Click();
  engine.BitBtn12Click();
  for (int step = 0; step < 5; ++step) engine.DXTimer1Timer();
  EXPECT_TRUE(engine.DXTimer1().Enabled());
  EXPECT_EQ(engine.SequencePos(), 0);
  engine.DXTimer1Timer();
  EXPECT_EQ(sound.triggers.back().text, "A1");
  EXPECT_EQ(host.beatsPerMinute, "156.3");
  EXPECT_EQ(engine.DXTimer1().Interval(), 96);
  EXPECT_FALSE(host.songButton);
}

TEST_F(SongPlayerTest, GlobalSpeedHoldsEveryPatternAtTheUsersTempo) {
  host.delay = 100;
  engine.DelayChange();
  engine.ToolButton19Click();
  engine.BitBtn12Click();
  for (int step = 0; step < 5; ++step) {
    engine.DXTimer1Timer();
    EXPECT_EQ(host.delay, 100);
    EXPECT_EQ(engine.DXTimer1().Interval(), 200);
  }
  EXPECT_EQ(host.beatsPerMinute, "75.0");
}

TEST_F(SongPlayerTest, HeaderTemposAreClampedToTheTempoBarsRange) {
  host.compiled = Block(500, {"X"}, 1);
  host.compiled.push_back("%%%");
  engine.BitBtn12Click();
  engine.DXTimer1Timer();
  EXPECT_EQ(engine.DXTimer1().Interval(), 280);
  EXPECT_EQ(host.beatsPerMinute, "53.6");
}

TEST_F(SongPlayerTest, ClearingThePlayListStopsTheSongOnly) {
  host.SetPattern({"P1", "P2"});
  engine.BitBtn3Click();
  engine.BitBtn12Click();
  engine.DXTimer1Timer();
  engine.PlayListCleared();
  EXPECT_EQ(engine.StopMark(), "Stop");
  EXPECT_FALSE(engine.DXTimer1().Enabled());
  EXPECT_TRUE(engine.MainPlay().empty());
  EXPECT_TRUE(host.songButton);
  EXPECT_FALSE(host.patternButton) << "Play pattern keeps its state";
  EXPECT_TRUE(engine.DXTimer2().Enabled());
  engine.DXTimer2Timer();
  EXPECT_EQ(sound.triggers.back().text, "P1");
}

// A fresh program's timer has the default 1000 ms interval: nothing of it
// may reach the song. The first step sounds at the start, and the gap before
// a pattern's first step is in that pattern's tempo, as the render has it.
TEST_F(SongPlayerTest, TheFirstStepSoundsAtTheStartAndEachGapIsTheRendersGap) {
  EXPECT_EQ(engine.DXTimer1().Interval(), 1000) << "the timer's default before any song";
  const auto started = PlaybackSound::Clock::now();
  engine.BitBtn12Click();
  EXPECT_TRUE(engine.DXTimer1().Enabled());
  EXPECT_TRUE(sound.triggers.empty());
  EXPECT_EQ(engine.SequencePos(), 0);
  EXPECT_EQ(engine.StopMark(), "");
  EXPECT_EQ(sound.format.size(), 18u) << "the output format is set at the start";
  for (int step = 0; step < 5; ++step) engine.DXTimer1Timer();
  ASSERT_EQ(sound.triggers.size(), 5u);
  EXPECT_GE(sound.triggers[0].at->at, started);
  EXPECT_LT(sound.triggers[0].at->at, started + 100ms);
  std::vector<PlaybackSound::Clock::duration> gaps;
  for (size_t i = 1; i < sound.triggers.size(); ++i)
    gaps.push_back(sound.triggers[i].at->at - sound.triggers[i - 1].at->at);
  EXPECT_EQ(gaps, (std::vector<PlaybackSound::Clock::duration>{96ms, 96ms, 96ms, 160ms}));
  engine.BitBtn12Click();
  EXPECT_EQ(engine.DXTimer1().Interval(), 160) << "what B's header set";
}

TEST_F(SongPlayerTest, StartingWhileRunningRestartsAtTheHeadOfTheSequence) {
  engine.BitBtn12Click();
  engine.DXTimer1Timer();
  engine.DXTimer1Timer();
  engine.BitBtn12Click();  // appends behind the first "%%%", never reached
  EXPECT_EQ(engine.MainPlay().size(), 2 * host.compiled.size());
  EXPECT_EQ(engine.SequencePos(), 0);
  engine.DXTimer1Timer();
  EXPECT_EQ(sound.triggers.back().text, "A1");
}

TEST_F(SongPlayerTest, AnEmptyPlayListPlaysNothing) {
  host.playListCount = 0;
  engine.BitBtn12Click();
  EXPECT_TRUE(host.patternButton);
  EXPECT_TRUE(host.songButton);
  EXPECT_TRUE(engine.MainPlay().empty());
  EXPECT_FALSE(engine.DXTimer1().Enabled());
}

TEST_F(SongPlayerTest, AFailedCompileLeavesNoSequenceAndBothButtonsEnabled) {
  host.compiled.resize(10);  // part of a sequence, then the error
  host.compileFails = [] { throw EFOpenError("missing.pat"); };
  EXPECT_THROW(engine.BitBtn12Click(), EFOpenError);
  EXPECT_TRUE(engine.MainPlay().empty());
  EXPECT_TRUE(host.patternButton);
  EXPECT_TRUE(host.songButton);
  EXPECT_FALSE(engine.DXTimer1().Enabled());
}

TEST_F(SongPlayerTest, ACellThatCannotSoundIsSkipped) {
  host.compiled = {"//", "60", "Bad", "Good", "", "", "", "", "%%%"};
  sound.failOn = [](const std::string& text) {
    if (text == "Bad") throw EConvertError("x");
  };
  engine.BitBtn12Click();
  engine.DXTimer1Timer();
  EXPECT_EQ(sound.Texts(), std::vector<std::string>{"Good"});
}

TEST_F(SongPlayerTest, ASequenceEmptiedUnderARepeatingSongEndsIt) {
  engine.ToolButton8Click();
  engine.BitBtn12Click();
  engine.DXTimer1Timer();
  engine.MainPlay().clear();  // a render finished meanwhile
  engine.DXTimer1Timer();
  EXPECT_FALSE(engine.DXTimer1().Enabled());
  EXPECT_TRUE(host.songButton);
}

TEST_F(SongPlayerTest, TheTimerPlaysTheSongToItsEnd) {
  engine.DXTimer1().SetInterval(2);  // instead of the first second
  engine.BitBtn12Click();
  ASSERT_TRUE(ui.PumpUntil([&] { return !engine.DXTimer1().Enabled(); }, 20s));
  EXPECT_EQ(sound.Texts(), (std::vector<std::string>{"A1", "A2", "A1", "A2", "B1"}));
  for (const auto& trigger : sound.triggers) EXPECT_TRUE(trigger.at.has_value());
  EXPECT_TRUE(host.songButton);
}

// An error inside a step reaches the user once, however often a repeating
// song meets it, and the song plays on.
TEST_F(SongPlayerTest, AStepErrorIsReportedOnceAndTheSongPlaysOn) {
  host.compiled = {"//", "fast", "A1", "", "", "", "", "", "%%%"};
  std::vector<std::string> reported;
  engine.OnError = [&](const std::string& message) { reported.push_back(message); };
  engine.ToolButton8Click();  // repeat play list
  engine.DXTimer1().SetInterval(2);
  engine.BitBtn12Click();
  ASSERT_TRUE(ui.PumpUntil([&] { return sound.Texts().size() >= 3; }, 20s));
  EXPECT_TRUE(engine.DXTimer1().Enabled());
  EXPECT_EQ(reported, std::vector<std::string>{"'fast' is not a valid integer value"});
  engine.BitBtn4Click();
  engine.DXTimer1().SetInterval(2);
  engine.BitBtn12Click();  // a new start reports it again
  ASSERT_TRUE(ui.PumpUntil([&] { return reported.size() == 2; }, 20s));
  engine.BitBtn4Click();
}

// ---- through the kit and a recorded output ----

// Where the render puts each hit of the instrument, in frames at the rate.
std::vector<int64_t> RenderOnsets(const std::vector<std::string>& song,
                                  const InstrumentTable& instruments, const std::string& name,
                                  int rate) {
  wavaudio::TWave output;
  output.Format.nSamplesPerSec = static_cast<uint32_t>(rate);
  output.Format.nAvgBytesPerSec = static_cast<uint32_t>(rate) * output.Format.nBlockAlign;
  std::vector<int64_t> onsets;
  for (const Hit& hit : FindHits(song, instruments, instruments.IndexOf(name)))
    onsets.push_back(output.MixOffset(hit.time));
  return onsets;
}

// The first frame of every sound of the level in the left channel.
std::vector<int64_t> LiveOnsets(const std::vector<float>& samples, double level) {
  std::vector<int64_t> onsets;
  bool sounding = false;
  for (size_t frame = 0; frame < samples.size() / 2; ++frame) {
    const bool now = std::abs(In16(samples[2 * frame]) - level) < 1.0;
    if (now && !sounding) onsets.push_back(static_cast<int64_t>(frame));
    sounding = now;
  }
  return onsets;
}

// The song plays on a tape that records the mix, which starts each play with
// the next block it renders: the tape renders up to the frame the player
// placed the step at, then the step runs. Every onset must fall where the
// render puts the hit, to the frame, through tempo changes at pattern
// boundaries and from the first step on, whatever the tempo bar shows.
TEST(SongPlayerSound, EveryLiveOnsetFallsOnTheRendersFrame) {
  KitRig rig;
  FakeHost host;
  PlaybackEngine engine{rig.ui, host, rig.sound};
  const std::string kick = "Kick      [ ]", snare = "Snare     [ ]";
  host.compiled = Block(48, {kick, snare}, 2);
  for (const auto& block : {Block(80, {kick}, 2), Block(31, {snare, kick, ""}, 1),
                            Block(140, {kick}, 1), Block(7, {snare}, 3)})
    host.compiled.insert(host.compiled.end(), block.begin(), block.end());
  host.compiled.push_back("%%%");
  host.playListCount = 1;
  engine.SetUpTempo();

  rig.tape->Clear();
  rig.tape->RenderFrames(1000);  // the device has run a while
  const int64_t started = static_cast<int64_t>(rig.tape->FramesRecorded());
  engine.BitBtn12Click();
  while (engine.SongPlaying()) {
    const int64_t due = engine.SongClock().Place().frame;
    const int64_t recorded = static_cast<int64_t>(rig.tape->FramesRecorded());
    ASSERT_GE(due, recorded);
    rig.tape->RenderFrames(static_cast<int>(due - recorded));
    engine.DXTimer1Timer();
  }
  rig.tape->RenderFrames(kRate / 2);

  const auto samples = rig.tape->Samples();
  const int rate = rig.tape->settings().rate;
  for (const auto& [name, level] :
       {std::pair{kick, KitRig::kKickLevel}, std::pair{snare, KitRig::kSnareLevel}}) {
    const auto rendered = RenderOnsets(host.compiled, rig.instruments, name, rate);
    auto live = LiveOnsets(samples, Heard(level, -500));
    for (auto& onset : live) onset -= started;
    ASSERT_EQ(live.size(), rendered.size()) << name;
    for (size_t i = 0; i < live.size(); ++i)
      EXPECT_NEAR(live[i], rendered[i], 1) << name << " step " << i;
  }
}

// A hit the render places: its frame at the rate and its level after the
// groove's humanize.
struct Placed {
  int64_t frame;
  double level;
  bool operator<(const Placed& other) const { return frame < other.frame; }
};

std::vector<Placed> RenderPlaces(const std::vector<std::string>& song, const KitRig& rig,
                                 const Groove& groove, int rate) {
  wavaudio::TWave output;
  output.Format.nSamplesPerSec = static_cast<uint32_t>(rate);
  output.Format.nAvgBytesPerSec = static_cast<uint32_t>(rate) * output.Format.nBlockAlign;
  std::vector<Placed> places;
  for (const auto& [name, level] : {std::pair{std::string("Kick      [ ]"), KitRig::kKickLevel},
                                    std::pair{std::string("Snare     [ ]"), KitRig::kSnareLevel}}) {
    const int instrument = rig.instruments.IndexOf(name);
    auto hits = FindHits(song, rig.instruments, instrument);
    ApplyGroove(hits, StepsOf(song), groove, GrooveInstrumentKey(name));
    for (const Hit& hit : hits)
      places.push_back({output.MixOffset(hit.time), Heard(level, -500 - 10 * hit.quieterTenthDb)});
  }
  std::sort(places.begin(), places.end());
  return places;
}

// Every sound's first frame and level in the left channel.
std::vector<Placed> LiveSounds(const std::vector<float>& samples) {
  std::vector<Placed> sounds;
  bool sounding = false;
  for (size_t frame = 0; frame < samples.size() / 2; ++frame) {
    const double level = In16(samples[2 * frame]);
    const bool now = level > 1.0;
    if (now && !sounding) sounds.push_back({static_cast<int64_t>(frame), level});
    sounding = now;
  }
  return sounds;
}

// With swing and humanize, every hit of the song played live sounds where
// the render puts it, within a frame, and as loud as the render makes it.
TEST(SongPlayerSound, AGroovedSongSoundsLiveWhereTheRenderPutsEachHit) {
  const std::string kick = "Kick      [ ]", snare = "Snare     [ ]";
  struct Case {
    const char* name;
    Groove groove;
  };
  const Case cases[] = {
      {"swing", {50, 0, 0, 0}},
      {"most swing", {75, 0, 0, 0}},
      {"humanize", {0, 20, 60, 99}},
      {"both", {40, 12, 30, 123456}},
  };
  for (const Case& c : cases) {
    KitRig rig;
    FakeHost host;
    PlaybackEngine engine{rig.ui, host, rig.sound};
    host.compiled = Block(48, {kick, snare, "", snare}, 2);
    for (const auto& block : {Block(80, {kick, snare, kick}, 1), Block(60, {snare, kick}, 2)})
      host.compiled.insert(host.compiled.end(), block.begin(), block.end());
    host.compiled.push_back("%%%");
    host.playListCount = 1;
    engine.SetUpTempo();
    engine.SetGroove(c.groove);

    rig.tape->Clear();
    rig.tape->RenderFrames(1000);
    const int64_t started = static_cast<int64_t>(rig.tape->FramesRecorded());
    engine.BitBtn12Click();
    while (engine.SongPlaying()) {
      // The step's plays are made its lead ahead, as the timer calls them.
      const int64_t due = engine.SongClock().DueFrame();
      const int64_t recorded = static_cast<int64_t>(rig.tape->FramesRecorded());
      if (due > recorded) rig.tape->RenderFrames(static_cast<int>(due - recorded));
      engine.DXTimer1Timer();
    }
    rig.tape->RenderFrames(kRate / 2);

    const auto rendered = RenderPlaces(host.compiled, rig, c.groove, rig.tape->settings().rate);
    auto live = LiveSounds(rig.tape->Samples());
    ASSERT_EQ(live.size(), rendered.size()) << c.name;
    for (size_t i = 0; i < live.size(); ++i) {
      EXPECT_NEAR(live[i].frame - started, rendered[i].frame, 1) << c.name << " hit " << i;
      EXPECT_NEAR(live[i].level, rendered[i].level, 1.0) << c.name << " hit " << i;
    }
  }
}

}  // namespace

// The song's mix sounds live as the render makes it: a silenced instrument
// gives no onset, the others sound at the render's frames at their level.
TEST(SongPlayerSound, LivePlaybackFollowsTheSongsMixAsTheRenderDoes) {
  const std::string kick = "Kick      [ ]", snare = "Snare     [ ]";
  struct Case {
    const char* what;
    KitMix mix;
    int kickLevel, snareLevel;  // hundredths of a dB; kSilent: no onset at all
  };
  const int silent = InstrumentMix::kSilent;
  const Case cases[] = {
      {"plain", {}, 0, 0},
      {"kick muted", {{"Kick", {0, true, false}}}, silent, 0},
      {"snare soloed", {{"SNARE", {0, false, true}}}, silent, 0},
      {"levels", {{"Kick", {-600, false, false}}, {"Snare", {300, false, false}}}, -600, 300},
      {"kick at -inf", {{"Kick", {silent, false, false}}}, silent, 0},
  };
  for (const Case& c : cases) {
    KitRig rig;
    FakeHost host;
    PlaybackEngine engine{rig.ui, host, rig.sound};
    rig.sound.SetMix(&c.mix);
    host.compiled = Block(48, {kick, snare}, 2);
    const auto second = Block(31, {snare, kick, ""}, 1);
    host.compiled.insert(host.compiled.end(), second.begin(), second.end());
    host.compiled.push_back("%%%");
    host.playListCount = 1;
    engine.SetUpTempo();
    rig.tape->Clear();
    rig.tape->RenderFrames(1000);
    const int64_t started = static_cast<int64_t>(rig.tape->FramesRecorded());
    engine.BitBtn12Click();
    while (engine.SongPlaying()) {
      const int64_t due = engine.SongClock().Place().frame;
      rig.tape->RenderFrames(
          static_cast<int>(due - static_cast<int64_t>(rig.tape->FramesRecorded())));
      engine.DXTimer1Timer();
    }
    rig.tape->RenderFrames(kRate / 2);
    const auto samples = rig.tape->Samples();
    const int rate = rig.tape->settings().rate;
    for (const auto& [name, level, mixLevel] :
         {std::tuple{kick, KitRig::kKickLevel, c.kickLevel},
          std::tuple{snare, KitRig::kSnareLevel, c.snareLevel}}) {
      const bool sounds = mixLevel != silent;
      auto live = LiveOnsets(samples, Heard(level, -500 + (sounds ? mixLevel : 0)));
      for (auto& onset : live) onset -= started;
      const auto rendered = sounds ? RenderOnsets(host.compiled, rig.instruments, name, rate)
                                   : std::vector<int64_t>{};
      ASSERT_EQ(live.size(), rendered.size()) << c.what << ": " << name;
      for (size_t i = 0; i < live.size(); ++i)
        EXPECT_NEAR(live[i], rendered[i], 1) << c.what << ": " << name << " step " << i;
    }
    // Nothing else sounded: every nonzero frame is one of the two levels.
    const double kickHeard = Heard(KitRig::kKickLevel, -500 + c.kickLevel);
    const double snareHeard = Heard(KitRig::kSnareLevel, -500 + c.snareLevel);
    for (size_t i = 0; i < samples.size(); i += 2) {
      const double v = In16(samples[i]);
      if (v == 0) continue;
      ASSERT_TRUE((c.kickLevel != silent && std::abs(v - kickHeard) < 1.0) ||
                  (c.snareLevel != silent && std::abs(v - snareHeard) < 1.0))
          << c.what << ": " << v << " at frame " << i / 2;
    }
  }
}
