// MIDI as a remote control: transport, learned notes and controllers, and
// the map's stored text.
#include <gtest/gtest.h>

#include "midi/MidiControl.h"

namespace {

MidiEvent Message(std::vector<uint8_t> bytes) {
  MidiEvent event;
  event.size = static_cast<uint8_t>(bytes.size());
  for (size_t i = 0; i < bytes.size() && i < 3; ++i) event.bytes[i] = bytes[i];
  return event;
}

struct Told {
  MidiAction action;
  int value;
  bool operator==(const Told&) const = default;
};

class MidiControlTest : public ::testing::Test {
 protected:
  MidiControl control;
  std::vector<Told> told;
  void SetUp() override {
    control.OnAction = [this](MidiAction a, int v) { told.push_back({a, v}); };
  }
  void Hear(std::vector<std::vector<uint8_t>> messages) {
    for (auto& m : messages) control.Heard(Message(std::move(m)));
  }
};

TEST_F(MidiControlTest, StartContinueAndStopRunThePlayersUnlessTurnedOff) {
  Hear({{0xFA}, {0xFC}, {0xFB}});
  EXPECT_EQ(told, (std::vector<Told>{{MidiAction::PlayPattern, 127},
                                     {MidiAction::Stop, 127},
                                     {MidiAction::PlayPattern, 127}}));
  told.clear();
  control.SetStartAction(MidiAction::PlaySong);
  Hear({{0xFA}});
  EXPECT_EQ(told, (std::vector<Told>{{MidiAction::PlaySong, 127}}));
  told.clear();
  control.SetTransport(false);
  Hear({{0xFA}, {0xFC}, {0xFB}});
  EXPECT_TRUE(told.empty());
}

TEST_F(MidiControlTest, LearnTakesTheNextNoteOrControllerAndRunsNothingThen) {
  std::vector<std::pair<MidiAction, MidiTrigger>> learned;
  control.OnLearned = [&](MidiAction a, MidiTrigger t) { learned.push_back({a, t}); };
  control.Learn(MidiAction::Stop);
  EXPECT_TRUE(control.Learning());
  Hear({{0xF8}, {0x80, 40, 0}, {0x93, 40, 0}});  // clock, note-offs: not learned
  EXPECT_TRUE(control.Learning());
  Hear({{0x93, 40, 90}});
  EXPECT_FALSE(control.Learning());
  EXPECT_TRUE(told.empty());
  const MidiTrigger note40{MidiTrigger::Kind::Note, 3, 40};
  ASSERT_EQ(learned.size(), 1u);
  EXPECT_EQ(learned[0].second, note40);
  EXPECT_EQ(control.Map().Trigger(MidiAction::Stop), note40);
  Hear({{0x93, 40, 90}, {0x92, 40, 90}});  // the same note on another channel is another trigger
  EXPECT_EQ(told, (std::vector<Told>{{MidiAction::Stop, 90}}));

  // Learning it for another action takes it from the first.
  control.Learn(MidiAction::PlaySong);
  Hear({{0x93, 40, 100}});
  EXPECT_EQ(control.Map().Trigger(MidiAction::PlaySong), note40);
  EXPECT_EQ(control.Map().Trigger(MidiAction::Stop), MidiTrigger{});
}

TEST_F(MidiControlTest, AControllerButtonRunsOncePerPressAndATempoKnobEveryMove) {
  MidiControlMap map;
  map.Set(MidiAction::NextEntry, {MidiTrigger::Kind::Control, 0, 20});
  map.Set(MidiAction::Tempo, {MidiTrigger::Kind::Control, 0, 21});
  control.SetMap(map);
  struct Case {
    std::vector<uint8_t> message;
    std::vector<Told> expected;
  };
  const std::vector<Case> cases = {
      {{0xB0, 20, 127}, {{MidiAction::NextEntry, 127}}},  // press
      {{0xB0, 20, 0}, {}},                                // release
      {{0xB0, 20, 127}, {{MidiAction::NextEntry, 127}}},
      {{0xB0, 20, 127}, {{MidiAction::NextEntry, 127}}},  // a button that only sends presses
      {{0xB0, 20, 100}, {}},                              // turning on in the upper half
      {{0xB1, 20, 127}, {}},                              // another channel
      {{0xB0, 21, 5}, {{MidiAction::Tempo, 5}}},
      {{0xB0, 21, 6}, {{MidiAction::Tempo, 6}}},
      {{0xB0}, {}},  // cut short
      {{0x90, 21, 5}, {}},
  };
  for (const Case& c : cases) {
    told.clear();
    control.Heard(Message(c.message));
    EXPECT_EQ(told, c.expected) << int(c.message[0]) << " "
                                << (c.message.size() > 2 ? int(c.message[2]) : -1);
  }
}

TEST(MidiControlMap, TheTextKeepsEveryTriggerAndDropsWhatItCannotRead) {
  MidiControlMap map;
  map.Set(MidiAction::PlayPattern, {MidiTrigger::Kind::Note, 9, 36});
  map.Set(MidiAction::Tempo, {MidiTrigger::Kind::Control, 15, 127});
  map.Set(MidiAction::Record, {MidiTrigger::Kind::Control, 0, 0});
  const std::string text = MidiControlMapText(map);
  EXPECT_EQ(text, "play-pattern=note 10 36\nrecord=cc 1 0\ntempo=cc 16 127\n");
  EXPECT_EQ(ParseMidiControlMap(text), map);

  const MidiControlMap read = ParseMidiControlMap(
      "stop=note 17 3\n"   // no channel 17
      "stop=note 1 128\n"  // no note 128
      "fly=note 1 2\n"     // no such action
      "stop=pedal 1 2\n"
      "stop=note 1 2 3\n"
      "garbage\n=\n"
      "previous-entry=cc 2 7\r\n"
      "next-entry=note 1 60\n");
  EXPECT_EQ(read.Trigger(MidiAction::Stop), MidiTrigger{});
  EXPECT_EQ(read.Trigger(MidiAction::NextEntry), (MidiTrigger{MidiTrigger::Kind::Note, 0, 60}));
}

TEST(MidiControlMap, TriggersAreShownAsTheUserKnowsThem) {
  EXPECT_EQ(MidiTriggerText({}), "(none)");
  EXPECT_EQ(MidiTriggerText({MidiTrigger::Kind::Note, 9, 36}), "Note 36, channel 10");
  EXPECT_EQ(MidiTriggerText({MidiTrigger::Kind::Control, 0, 7}), "CC 7, channel 1");
}

TEST(MidiControlMap, ATempoControlGoesFromSlowToFast) {
  EXPECT_EQ(TempoPositionForControl(0), 139);   // 54 BPM
  EXPECT_EQ(TempoPositionForControl(127), 30);  // 250 BPM, the nearest to 254
  EXPECT_EQ(TempoPositionForControl(-4), 139);
  EXPECT_EQ(TempoPositionForControl(500), 30);
  int last = TempoPositionForControl(0);
  for (int v = 1; v <= 127; ++v) {
    EXPECT_LE(TempoPositionForControl(v), last) << v;
    last = TempoPositionForControl(v);
  }
}

}  // namespace
