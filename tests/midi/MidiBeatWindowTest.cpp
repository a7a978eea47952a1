// MIDI wired to the program's windows: learned controls and MIDI Start/Stop
// run the players, a tempo knob and a followed clock move the tempo bar, the
// Preferences group keeps what the user chose, the beat goes out as notes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <thread>

#include "app/ProgramWindows.h"
#include "kit/Preferences.h"
#include "kit/SoundOutputChoice.h"
#include "midi/MidiBeatPreferences.h"
#include "midi/MidiBeatSettingsStore.h"
#include "midi/RecordingSender.h"
#include "support/WindowTest.h"

// Allocations made on a thread while it counts them: the MIDI input thread
// (with JACK, the sound's own cycle) must make none.
namespace {
thread_local bool countAllocations = false;
std::atomic<int> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (countAllocations) allocations.fetch_add(1);
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace {

using namespace std::chrono_literals;

MidiEvent Message(std::vector<uint8_t> bytes, int64_t timeNs = 0) {
  MidiEvent event;
  event.timeNs = timeNs;
  event.size = static_cast<uint8_t>(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) event.bytes[i] = bytes[i];
  return event;
}

// The system's sound outputs, as Preferences lists them.
class OneOutput : public SoundOutputs {
 public:
  std::vector<std::string> Drivers() override { return {"pipewire"}; }
  std::string CurrentDriver() override { return "pipewire"; }
  std::vector<std::string> Devices() override { return {"Speakers"}; }
  int Rate() override { return 48000; }
  bool Use(const SoundOutputChoice&) override { return true; }
};

class MidiBeatWindows : public ::testing::Test {
 protected:
  ~MidiBeatWindows() override { windows.midiBeat.SetSender(nullptr); }

  // Heard on a thread of its own, as midi_in hears; then the UI thread runs
  // what was handed to it.
  void Hear(const std::vector<MidiEvent>& events) {
    std::thread input([&] {
      for (const MidiEvent& e : events) windows.midiBeat.Listener().Heard(e);
    });
    input.join();
    QTest::qWait(20);
  }
  bool PatternPlaying() { return windows.sequence.Engine().PatternPlaying(); }

  OneOutput outputs;  // outlives the Preferences window
  WindowTestHome home;
  ProgramWindows windows;
};

// Start, a followed clock and a learned trigger reach the windows in the
// order they came, with no allocation (nor lock) on the input thread.
TEST_F(MidiBeatWindows, TheInputThreadHandsOverWithoutAllocatingInOrder) {
  MidiBeatSettings settings;
  settings.followClock = true;
  windows.midiBeat.Apply(settings);
  windows.sequence.ToolButton3->click();  // repeat: it plays until stopped
  windows.midiBeat.Learn(MidiAction::Record, nullptr);
  std::vector<MidiEvent> events{Message({0xFC}), Message({0xFA}), Message({0x90, 40, 100})};
  for (int i = 0; i < 96; ++i) events.push_back(Message({0xF8}, 1000000000 + i * 25000000LL));
  int counted = -1;
  std::thread input([&] {
    countAllocations = true;
    for (const MidiEvent& e : events) windows.midiBeat.Listener().Heard(e);
    countAllocations = false;
    counted = allocations.load();
  });
  input.join();
  QTest::qWait(20);
  EXPECT_EQ(counted, 0);
  EXPECT_TRUE(PatternPlaying()) << "Stop, then Start";
  EXPECT_EQ(windows.sequence.Delay->value(), 75);
  EXPECT_EQ(windows.midiBeat.Settings().controls.Trigger(MidiAction::Record),
            (MidiTrigger{MidiTrigger::Kind::Note, 0, 40}));
}

TEST_F(MidiBeatWindows, ALearnedNoteStopsThePatternAndIsKept) {
  MidiBeatPreferences group;
  auto* learn = group.findChild<QPushButton*>("Learn-stop");
  auto* shown = group.findChild<QLabel*>("Trigger-stop");
  ASSERT_TRUE(learn && shown);
  ASSERT_TRUE(learn->isEnabled());
  learn->click();
  Hear({Message({0x90, 40, 100})});
  EXPECT_EQ(shown->text().toStdString(), "Note 40, channel 1");
  EXPECT_EQ(LoadMidiBeatSettings().controls.Trigger(MidiAction::Stop),
            (MidiTrigger{MidiTrigger::Kind::Note, 0, 40}));
  EXPECT_FALSE(PatternPlaying()) << "the learned note runs nothing";

  windows.sequence.ToolButton3->click();  // repeat: it plays until stopped
  windows.sequence.BitBtn3Click();
  ASSERT_TRUE(PatternPlaying());
  Hear({Message({0x90, 41, 100})});
  EXPECT_TRUE(PatternPlaying()) << "another note";
  Hear({Message({0x90, 40, 100})});
  EXPECT_FALSE(PatternPlaying());
}

TEST_F(MidiBeatWindows, MidiStartAndStopRunThePlayersUnlessTurnedOff) {
  windows.sequence.ToolButton3->click();
  Hear({Message({0xFA})});
  EXPECT_TRUE(PatternPlaying());
  Hear({Message({0xFC})});
  EXPECT_FALSE(PatternPlaying());

  MidiBeatPreferences group;
  group.TransportBox->click();
  EXPECT_FALSE(LoadMidiBeatSettings().transport);
  Hear({Message({0xFA})});
  EXPECT_FALSE(PatternPlaying());
}

TEST_F(MidiBeatWindows, ATempoKnobMovesTheTempoBarAsAUserWould) {
  MidiBeatSettings settings;
  settings.controls.Set(MidiAction::Tempo, {MidiTrigger::Kind::Control, 2, 7});
  windows.midiBeat.Apply(settings);
  Hear({Message({0xB2, 7, 127})});
  EXPECT_EQ(windows.sequence.Delay->value(), 30);
  EXPECT_EQ(windows.sequence.Engine().Tempo().StepInterval(), 60);
  Hear({Message({0xB2, 7, 0})});
  EXPECT_EQ(windows.sequence.Delay->value(), 139);
}

TEST_F(MidiBeatWindows, LearnedButtonsStepThroughThePlayListAsClicksWould) {
  for (const auto& file :
       std::filesystem::directory_iterator(KORVANTO_TEST_SOURCE_DIR "/data/demo"))
    std::filesystem::copy_file(file.path(), home / file.path().filename().string());
  home.prompts.paths.push_back((home / "Demo.sng").string());
  windows.sequence.BitBtn8Click();  // File › Open Song
  const int count = windows.sequence.Songs().Count();
  ASSERT_GT(count, 2);
  MidiBeatSettings settings;
  settings.controls.Set(MidiAction::NextEntry, {MidiTrigger::Kind::Note, 0, 50});
  settings.controls.Set(MidiAction::PreviousEntry, {MidiTrigger::Kind::Note, 0, 48});
  windows.midiBeat.Apply(settings);
  windows.sequence.SongListMouseDown(0);
  const auto selected = [&] { return windows.sequence.Songs().Selected(); };
  Hear({Message({0x90, 50, 100})});
  EXPECT_EQ(selected(), 1);
  EXPECT_EQ(windows.sequence.SongList->currentRow(), 1);
  EXPECT_EQ(windows.sequence.Edit2->text().toStdString(), windows.sequence.Songs().Name(1))
      << "the entry's pattern is in the grid, as a click puts it";
  Hear({Message({0x90, 48, 100}), Message({0x80, 48, 0})});
  EXPECT_EQ(selected(), 0);
  Hear({Message({0x90, 48, 100})});
  EXPECT_EQ(selected(), 0) << "nothing before the first entry";
}

TEST_F(MidiBeatWindows, AFloodFromAControlEndsAtItsLastValue) {
  MidiBeatSettings settings;
  settings.controls.Set(MidiAction::Tempo, {MidiTrigger::Kind::Control, 0, 7});
  windows.midiBeat.Apply(settings);
  std::vector<MidiEvent> flood;
  for (int i = 0; i < 10000; ++i)
    flood.push_back(Message({0xB0, 7, static_cast<uint8_t>(i % 128)}));
  flood.push_back(Message({0xB0, 7, 127}));
  Hear(flood);
  EXPECT_EQ(windows.sequence.Delay->value(), 30);
}

TEST_F(MidiBeatWindows, AFollowedClockSetsTheTempoBar) {
  MidiBeatPreferences group;
  group.FollowClockBox->click();
  ASSERT_TRUE(windows.midiBeat.Settings().followClock);
  // 100 beats a minute: a step of 150 ms, position 75.
  std::vector<MidiEvent> pulses;
  const int64_t period = 25000000;  // ns
  for (int i = 0; i < 96; ++i) pulses.push_back(Message({0xF8}, 1000000000 + i * period));
  Hear(pulses);
  EXPECT_EQ(windows.sequence.Delay->value(), 75);
  EXPECT_EQ(windows.sequence.Engine().Tempo().StepInterval(), 150);
}

TEST_F(MidiBeatWindows, TheBeatGoesOutAsNotesAndEndsWithAllNotesOff) {
  RecordingSender sender;
  windows.midiBeat.SetSender(&sender);
  windows.sequence.Grid().SetCell(1, 2, "Kick      [ ]");
  windows.sequence.ToolButton3->click();
  windows.sequence.BitBtn3Click();
  QTest::qWait(300);
  windows.sequence.BitBtn4Click();
  windows.midiBeat.SetSender(nullptr);
  const auto ons = sender.WithStatus(0x99);
  ASSERT_FALSE(ons.empty());
  EXPECT_EQ(ons[0].bytes, (std::vector<uint8_t>{0x99, 36, 127}));
  EXPECT_EQ(sender.All().back().bytes, (std::vector<uint8_t>{0xB9, 123, 0}));
}

TEST_F(MidiBeatWindows, PreferencesShowTheMidiGroup) {
  SetSoundOutputs(&outputs);
  windows.sequence.PreferencesClick();
  TPreferences* preferences = windows.sequence.PreferencesWindow();
  SetSoundOutputs(nullptr);
  ASSERT_TRUE(preferences);
  auto* group = preferences->findChild<MidiBeatPreferences*>("MidiBeatPreferences");
  ASSERT_TRUE(group);
  group->SendClockBox->click();
  EXPECT_TRUE(LoadMidiBeatSettings().sendClock);
  EXPECT_TRUE(windows.midiBeat.Settings().sendClock);
  preferences->close();
}

}  // namespace
