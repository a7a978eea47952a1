// Korvanto's MIDI ports on a JACK server of the test's own: their names,
// what arrives at midi_in, what leaves midi_out, and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "midi/JackPortList.h"
#include "midi/MidiPorts.h"
#include "midi/MidiTestSupport.h"
#include "support/PrivateJack.h"

namespace {
using Bytes = std::vector<unsigned char>;

std::vector<Bytes> BytesOf(const std::vector<MidiEvent>& events) {
  std::vector<Bytes> all;
  for (const auto& e : events) all.emplace_back(e.bytes.begin(), e.bytes.begin() + e.size);
  return all;
}

class JackPorts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!jack.running()) GTEST_SKIP() << "jackd could not start a private server here";
    ASSERT_EQ(ports.Open(MidiSystem::Jack), "");
  }
  PrivateJack jack;
  HeardLog heard;
  MidiPorts ports{{&heard}};
};

TEST_F(JackPorts, AreKorvantoMidiInAndOut) {
  const auto inputs = JackMidiPorts(false);
  const auto outputs = JackMidiPorts(true);
  EXPECT_NE(std::find(inputs.begin(), inputs.end(), "Korvanto:midi_in"), inputs.end());
  EXPECT_NE(std::find(outputs.begin(), outputs.end(), "Korvanto:midi_out"), outputs.end());
  // Its own ports are not offered as others' to connect.
  const auto sources = ports.Sources();
  const auto targets = ports.Targets();
  EXPECT_EQ(std::find(sources.begin(), sources.end(), "Korvanto:midi_out"), sources.end());
  EXPECT_EQ(std::find(targets.begin(), targets.end(), "Korvanto:midi_in"), targets.end());
}

TEST_F(JackPorts, NotesFromAConnectedKeyboardArriveStampedInOrder) {
  TestKeyboard keyboard;
  const auto sources = ports.Sources();
  ASSERT_NE(std::find(sources.begin(), sources.end(), "Pads:out"), sources.end());
  ASSERT_EQ(ports.Connect({"Pads:out"}, {}), "");
  const int64_t before = MidiNowNs();
  keyboard.Send({0x99, 36, 100});
  keyboard.Send({0x89, 36, 0});
  keyboard.Send({0xB0, 7, 90});
  const auto events = heard.WaitFor(3);
  EXPECT_EQ(BytesOf(events), (std::vector<Bytes>{{0x99, 36, 100}, {0x89, 36, 0}, {0xB0, 7, 90}}));
  // Stamped with the moment of their frame in JACK's cycle: a cycle's start
  // may come a little before the keyboard's call that its message is in.
  constexpr int64_t kTwoCycles = 2 * 256 * 1'000'000'000LL / 48000;
  for (const auto& e : events) {
    EXPECT_GE(e.timeNs, before - kTwoCycles);
    EXPECT_LE(e.timeNs, MidiNowNs());
  }
}

TEST_F(JackPorts, BadInputGivesOnlyWholeMessages) {
  TestKeyboard keyboard;
  ASSERT_EQ(ports.Connect({"Pads:out"}, {}), "");
  keyboard.Send({0x12, 0x34});                          // garbage
  keyboard.Send({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});  // SysEx
  keyboard.Send({0x99, 200, 100});                      // 200 is no note: a program change begins
  keyboard.Send({0x99, 38, 90, 40, 80});                // running status
  keyboard.Send({0x99, 42, 70});
  const auto events = heard.WaitFor(4);
  EXPECT_EQ(BytesOf(events),
            (std::vector<Bytes>{{0xC8, 100}, {0x99, 38, 90}, {0x99, 40, 80}, {0x99, 42, 70}}));
}

TEST_F(JackPorts, AKeyboardThatGoesAwayLeavesThePortsWorking) {
  {
    TestKeyboard keyboard("Gone");
    ASSERT_EQ(ports.Connect({"Gone:out"}, {}), "");
    keyboard.Send({0x99, 36, 100});
    heard.WaitFor(1);
  }
  TestKeyboard next("Next");
  ASSERT_EQ(ports.Connect({"Next:out", "Gone:out"}, {}).empty(), false);  // Gone is not there
  next.Send({0x99, 38, 100});
  EXPECT_EQ(BytesOf(heard.WaitFor(2)).back(), (Bytes{0x99, 38, 100}));
}

TEST_F(JackPorts, SentNotesReachAConnectedSynthInOrderInTheCycleOfTheirDueTime) {
  TestSynth synth;
  ASSERT_EQ(ports.Connect({}, {"Synth:in"}), "");
  const int64_t due = MidiNowNs() + 50'000'000;
  const uint8_t on[] = {0x99, 36, 100};
  const uint8_t off[] = {0x89, 36, 0};
  ports.SendAt(due, on);
  ports.SendAt(due + 40'000'000, off);
  const auto got = synth.WaitFor(2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].bytes, (Bytes{0x99, 36, 100}));
  EXPECT_EQ(got[1].bytes, (Bytes{0x89, 36, 0}));
  // Not before the cycle that holds the due time (a loaded machine may run
  // the synth's side later than that).
  constexpr int64_t kCycle = 256 * 1'000'000'000LL / 48000;
  EXPECT_GE(got[0].atNs, due - kCycle);
  EXPECT_GE(got[1].atNs, due + 40'000'000 - kCycle);
  EXPECT_EQ(ports.Sent(), 2);
}

TEST_F(JackPorts, AFloodOfNotesArrivesWhole) {
  TestKeyboard keyboard;
  ASSERT_EQ(ports.Connect({"Pads:out"}, {}), "");
  // Bursts of 100 notes, 20,000 a second: as much as the keyboard's own
  // ring passes on without dropping any.
  constexpr int kNotes = 2000;
  for (int i = 0; i < kNotes; ++i) {
    keyboard.Send({0x99, static_cast<unsigned char>(i % 128), 1});
    // A cycle the server was late for holds the burst: wait for it, rather
    // than overrun the keyboard's ring.
    if (i % 100 == 99) heard.WaitFor(static_cast<size_t>(i + 1), std::chrono::seconds(2));
  }
  const auto events = heard.WaitFor(kNotes);
  ASSERT_EQ(events.size(), static_cast<size_t>(kNotes));
  for (int i = 0; i < kNotes; ++i)
    ASSERT_EQ(BytesOf({events[i]}).front(), (Bytes{0x99, static_cast<unsigned char>(i % 128), 1}));
}

TEST(MidiPorts, AJackServerThatGoesAwayLeavesThemClosableAndQuiet) {
  auto jack = std::make_unique<PrivateJack>();
  if (!jack->running()) GTEST_SKIP() << "jackd could not start a private server here";
  HeardLog heard;
  MidiPorts ports({&heard});
  ASSERT_EQ(ports.Open(MidiSystem::Jack), "");
  jack.reset();  // the server ends under the open ports
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const uint8_t on[] = {0x99, 36, 100};
  ports.SendAt(0, on);
  EXPECT_FALSE(ports.Connect({"Pads:out"}, {}).empty());
  ports.Close();
  EXPECT_FALSE(ports.IsOpen());
}

TEST(MidiPorts, NoneOpensNothingAndSendsNothing) {
  MidiPorts ports;
  EXPECT_EQ(ports.Open(MidiSystem::None), "");
  EXPECT_FALSE(ports.IsOpen());
  const uint8_t on[] = {0x99, 36, 100};
  ports.SendAt(0, on);
  EXPECT_EQ(ports.Sent(), 0);
}

TEST(MidiPorts, JackWithoutAServerSaysSo) {
  ::setenv("JACK_DEFAULT_SERVER", "korvanto-test-no-such-server", 1);
  ::setenv("JACK_NO_START_SERVER", "1", 1);
  MidiPorts ports;
  const std::string message = ports.Open(MidiSystem::Jack);
  ::unsetenv("JACK_DEFAULT_SERVER");
  EXPECT_NE(message.find("could not be opened on jack"), std::string::npos) << message;
  EXPECT_NE(message.find("No JACK server runs"), std::string::npos) << message;
  EXPECT_FALSE(ports.IsOpen());
}

TEST(MidiPorts, AlsaWithoutASequencerSaysSo) {
  if (std::filesystem::exists("/dev/snd/seq"))
    GTEST_SKIP() << "this machine has an ALSA sequencer; the message is for machines without";
  MidiPorts ports;
  EXPECT_NE(ports.Open(MidiSystem::Alsa), "");
  EXPECT_FALSE(ports.IsOpen());
}

TEST(MidiPorts, AlsaPortsWhereThereIsASequencer) {
  if (!std::filesystem::exists("/dev/snd/seq"))
    GTEST_SKIP() << "no ALSA sequencer (/dev/snd/seq) on this machine";
  HeardLog heard;
  MidiPorts ports({&heard});
  ASSERT_EQ(ports.Open(MidiSystem::Alsa), "");
  EXPECT_TRUE(ports.IsOpen());
}
}  // namespace
