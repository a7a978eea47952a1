// The players' beat at midi_out, through the real playback engine: notes at
// the hits' sound times, note-offs a step later, clock pulses, and nothing
// left sounding after Stop.
#include <gtest/gtest.h>

#include "midi/MidiBeatOut.h"
#include "midi/RecordingSender.h"
#include "render/MidiExport.h"
#include "song/PlaybackTestSupport.h"

namespace {

using namespace std::chrono_literals;
constexpr int64_t kMs = 1000000;

// A sound whose output is heard a fixed latency after each play's moment.
class LateSound : public RecordingSound {
 public:
  Clock::duration latency = 7ms;
  Clock::time_point SoundTime(const StepPlace& place) const override {
    return RecordingSound::SoundTime(place) + latency;
  }
};

class MidiBeatOutTest : public ::testing::Test {
 protected:
  ManualUiThread ui;
  FakeHost host;
  LateSound sound;
  PlaybackEngine engine{ui, host, sound};
  InstrumentTable chooser;
  KitMix mix;
  HitNotes notes{chooser, &mix, [](int slot) { return slot == 3 ? -1200 : 0; }};
  RecordingSender sender;
  MidiBeatOut out{notes, sender};

  void SetUp() override {
    engine.SetUpTempo();
    engine.SetPlayObserver(&out);
  }
  // Steps of the pattern player, one tick each.
  void Steps(int count) {
    for (int i = 0; i < count; ++i) engine.DXTimer2Timer();
  }
  int64_t StepNs() const { return int64_t{engine.Tempo().StepInterval()} * kMs; }
  // The dues of the messages with this status, from the first one's.
  std::vector<int64_t> Offsets(uint8_t status, int64_t from) const {
    std::vector<int64_t> offsets;
    for (const auto& s : sender.WithStatus(status)) offsets.push_back(s.dueNs - from);
    return offsets;
  }
  void ExpectInTimeOrder() const {
    const auto all = sender.All();
    for (size_t i = 1; i < all.size(); ++i)
      EXPECT_LE(all[i - 1].dueNs, all[i].dueNs)
          << "message " << i << " is due before the one sent before it";
  }
};

TEST_F(MidiBeatOutTest, EachHitIsANoteOnAtItsSoundTimeAndItsOffOneStepLater) {
  host.SetPattern({"Kick      [ ]", "", "Snare     [3]", "ClsHiat   [9]"});
  const auto before = PlaybackSound::Clock::now();
  engine.BitBtn3Click();
  Steps(4);
  const auto ons = sender.WithStatus(0x99);
  ASSERT_EQ(ons.size(), 3u);
  const std::vector<std::vector<uint8_t>> expected = {
      {0x99, 36, 127},
      {0x99, 38, static_cast<uint8_t>(KitVelocity(3))},
      {0x99, 42, static_cast<uint8_t>(KitVelocity(9))}};
  for (size_t i = 0; i < ons.size(); ++i) EXPECT_EQ(ons[i].bytes, expected[i]);
  // Heard one latency after the step's moment: the first step is at the start.
  const int64_t first = ons[0].dueNs;
  EXPECT_GE(first, MidiNs(before) + 7 * kMs);
  EXPECT_LT(first, MidiNs(before) + 7 * kMs + 50 * kMs);
  EXPECT_EQ(Offsets(0x99, first), (std::vector<int64_t>{0, 2 * StepNs(), 3 * StepNs()}));
  EXPECT_EQ(Offsets(0x89, first), (std::vector<int64_t>{StepNs(), 3 * StepNs(), 4 * StepNs()}));
  EXPECT_EQ(out.NotesSounding(), 0) << "the pattern ended: every note ended with it";
  ExpectInTimeOrder();
}

TEST_F(MidiBeatOutTest, UnderAGrooveEachNoteIsWhereItsHitSoundsAndAsQuiet) {
  engine.SetGroove({50, 10, 40, 77});  // swing, timing and loudness moved
  host.SetPattern({"Kick      [ ]", "Snare     [2]", "Kick      [ ]", "Snare     [2]",
                   "ClsHiat   [ ]", "ClsHiat   [ ]", "ClsHiat   [ ]", "ClsHiat   [ ]"});
  engine.BitBtn3Click();
  Steps(8);
  const auto ons = sender.WithStatus(0x99);
  ASSERT_EQ(ons.size(), sound.triggers.size());
  // Each hit as the sound placed it: when it is heard, its note and velocity.
  std::vector<std::pair<int64_t, std::vector<uint8_t>>> hits;
  for (const auto& t : sound.triggers) {
    const auto note = notes.NoteOf(t.text, t.at->quieterTenthDb);
    ASSERT_TRUE(note) << t.text;
    hits.push_back(
        {MidiNs(sound.SoundTime(*t.at)),
         {0x99, static_cast<uint8_t>(note->note), static_cast<uint8_t>(note->velocity)}});
  }
  std::sort(hits.begin(), hits.end());  // the notes leave in time order
  bool quieter = false;
  for (size_t i = 0; i < ons.size(); ++i) {
    EXPECT_EQ(ons[i].dueNs, hits[i].first) << "note " << i;
    EXPECT_EQ(ons[i].bytes, hits[i].second) << "note " << i;
    quieter |= ons[i].bytes[2] != 127 && ons[i].bytes[1] != 38;
  }
  EXPECT_TRUE(quieter) << "humanize made no full-level hit quieter";
  ExpectInTimeOrder();
}

TEST_F(MidiBeatOutTest, StopEndsEveryNoteStillOnAfterTheLastMessageSent) {
  host.SetPattern({"Kick      [ ]", "Snare     [ ]", "Kick      [ ]", "Snare     [ ]"});
  engine.BitBtn3Click();
  Steps(2);
  ASSERT_EQ(out.NotesSounding(), 1) << "the snare: the kick ended a step after it began";
  const int64_t lastDue = sender.All().back().dueNs;
  engine.BitBtn4Click();
  const auto all = sender.All();
  ASSERT_GE(all.size(), 3u);
  EXPECT_EQ(all.back().bytes, (std::vector<uint8_t>{0xB9, 123, 0}));
  EXPECT_GE(all.back().dueNs, lastDue);
  EXPECT_EQ(out.NotesSounding(), 0);
  sender.Clear();
  Steps(2);  // a tick after Stop sends nothing
  engine.BitBtn4Click();
  EXPECT_TRUE(sender.All().empty());
  ExpectInTimeOrder();
}

TEST_F(MidiBeatOutTest, AnInstrumentInTwoChannelsOfARowIsOneNoteAsLoudAsTheLouder) {
  host.SetPattern({"Snare     [5]"});
  host.cells[{4, 2}] = "Snare     [2]";
  engine.BitBtn3Click();
  Steps(1);
  const auto ons = sender.WithStatus(0x99);
  ASSERT_EQ(ons.size(), 1u);
  EXPECT_EQ(ons[0].bytes[2], KitVelocity(2));
  EXPECT_EQ(sender.WithStatus(0x89).size(), 1u);
}

TEST_F(MidiBeatOutTest, ARepeatedNoteEndsBeforeItSoundsAgain) {
  host.SetPattern({"Kick      [ ]", "Kick      [ ]"});
  engine.ToolButton3Click();  // repeat
  engine.BitBtn3Click();
  Steps(5);
  const auto all = sender.All();
  // Kick on, then off and on again at each step: never two ons in a row.
  int on = 0;
  for (const auto& s : all) {
    if (s.bytes[0] == 0x99) {
      EXPECT_EQ(on++, 0) << "a second note-on before the note ended";
    }
    if (s.bytes[0] == 0x89) on = 0;
  }
  ExpectInTimeOrder();
}

TEST_F(MidiBeatOutTest, CellsMapAsTheMidiFileMapsThem) {
  mix["Snare"] = InstrumentMix{0, true, false};  // muted
  struct Case {
    std::string cell;
    int note, velocity;  // note -1: nothing goes out
  };
  const std::vector<Case> cases = {
      {"Kick      [ ]", 36, 127},
      {"kick      [4]", 36, KitVelocity(4)},
      {"Snare     [ ]", -1, 0},  // silenced by the mix
      {"Sample3", 98, SlotVelocity(-1200)},
      {"Sample1", 96, 127},
      {"Kick      [x]", -1, 0},  // a bad digit sounds nothing
      {"Nothing", -1, 0},
      {"", -1, 0},
  };
  for (const Case& c : cases) {
    const auto note = notes.NoteOf(c.cell);
    if (c.note < 0) {
      EXPECT_FALSE(note) << c.cell;
      continue;
    }
    ASSERT_TRUE(note) << c.cell;
    EXPECT_EQ(*note, (DrumNote{c.note, c.velocity})) << c.cell;
  }
}

TEST_F(MidiBeatOutTest, TheClockPulsesSixTimesAStepStartingWithPositionAndStart) {
  out.SetSendClock(true);
  host.SetPattern({"Kick      [ ]", "", "", ""});
  engine.BitBtn3Click();
  Steps(4);
  const auto all = sender.All();
  ASSERT_GE(all.size(), 3u);
  EXPECT_EQ(all[0].bytes, (std::vector<uint8_t>{0xF2, 0, 0}));
  EXPECT_EQ(all[1].bytes, (std::vector<uint8_t>{0xFA}));
  EXPECT_EQ(all[2].bytes, (std::vector<uint8_t>{0xF8})) << "the first pulse comes after Start";
  const int64_t first = all[2].dueNs;
  EXPECT_LE(all[1].dueNs, first);
  const auto pulses = Offsets(0xF8, first);
  ASSERT_EQ(pulses.size(), 24u) << "four steps, a quarter note";
  for (size_t i = 0; i < pulses.size(); ++i)
    EXPECT_EQ(pulses[i], static_cast<int64_t>(i) * StepNs() / 6) << "pulse " << i;
  const auto stops = Offsets(0xFC, first);
  ASSERT_EQ(stops.size(), 1u);
  EXPECT_EQ(stops[0], 4 * StepNs()) << "the clock stops where the last step ends";
  EXPECT_EQ(all.back().bytes, (std::vector<uint8_t>{0xF2, 4, 0})) << "position: four steps";
  ExpectInTimeOrder();
}

TEST_F(MidiBeatOutTest, TheClockFollowsATempoChangeFromTheNextStep) {
  out.SetSendClock(true);
  host.SetPattern({"", "", "", "", "", ""});
  engine.BitBtn3Click();
  Steps(2);
  const int64_t slow = StepNs();
  host.delay = 30;  // the tempo bar moves: shorter steps from the next one
  Steps(2);
  const auto pulses = sender.WithStatus(0xF8);
  ASSERT_GE(pulses.size(), 24u);
  EXPECT_EQ(pulses[1].dueNs - pulses[0].dueNs, slow / 6);
  EXPECT_EQ(pulses[19].dueNs - pulses[18].dueNs, 60 * kMs / 6);
}

TEST_F(MidiBeatOutTest, StopSendsTheClockStopAfterThePulsesSentAndNoMore) {
  out.SetSendClock(true);
  host.SetPattern({"Kick      [ ]", "", "", ""});
  engine.ToolButton3Click();
  engine.BitBtn3Click();
  Steps(3);
  engine.BitBtn4Click();
  const auto all = sender.All();
  const auto stops = sender.WithStatus(0xFC);
  ASSERT_EQ(stops.size(), 1u);
  EXPECT_EQ(all.back().bytes, (std::vector<uint8_t>{0xF2, 3, 0}));
  EXPECT_EQ(sender.WithStatus(0xF8).size(), 18u);
  ExpectInTimeOrder();
}

TEST_F(MidiBeatOutTest, TheSongSendsItsPatternsNotesAndPulsesInItsOwnTempo) {
  out.SetSendClock(true);
  host.compiled = {"//", "25", "Kick      [ ]", "", "", "", "", "", "Snare     [ ]", "", "", "", "",
                   "",   "%%%"};
  engine.BitBtn12Click();
  for (int i = 0; i < 2; ++i) engine.DXTimer1Timer();
  EXPECT_FALSE(engine.SongPlaying());
  const auto ons = sender.WithStatus(0x99);
  ASSERT_EQ(ons.size(), 2u);
  EXPECT_EQ(ons[1].dueNs - ons[0].dueNs, 50 * kMs);
  const auto pulses = sender.WithStatus(0xF8);
  ASSERT_EQ(pulses.size(), 12u);
  EXPECT_EQ(pulses[7].dueNs - pulses[6].dueNs, 50 * kMs / 6);
  EXPECT_EQ(sender.WithStatus(0xFC).size(), 1u);
  ExpectInTimeOrder();
}

TEST_F(MidiBeatOutTest, NothingGoesOutWhenNotesAndClockAreOff) {
  out.SetSendNotes(false);
  host.SetPattern({"Kick      [ ]", "Snare     [ ]"});
  engine.BitBtn3Click();
  Steps(2);
  engine.BitBtn4Click();
  EXPECT_TRUE(sender.All().empty());
}

}  // namespace
