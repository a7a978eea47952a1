// Live MIDI in the windows: notes recorded into the grid while the pattern
// plays (one undo step a pass), Kit List › Learn MIDI note kept beside the
// kit, and Preferences' MIDI group. Notes enter where midi_in hands them on.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSlider>
#include <QToolButton>
#include <QUndoStack>

#include "app/ProgramWindows.h"
#include "common/Files.h"
#include "kit/Preferences.h"
#include "kit/SoundOutputChoice.h"
#include "midi/MidiPreferencesPage.h"
#include "midi/MidiSendQueue.h"
#include "midi/MidiSettings.h"
#include "pattern/StepGridView.h"
#include "song/Tempo.h"
#include "song/Toggles.h"
#include "support/PrivateJack.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"

namespace {
MidiEvent NoteOn(int note, int velocity, int channel = 10) {
  MidiEvent e;
  e.timeNs = MidiNowNs();
  e.bytes = {static_cast<uint8_t>(0x90 | (channel - 1)), static_cast<uint8_t>(note),
             static_cast<uint8_t>(velocity)};
  e.size = 3;
  return e;
}

// Preferences opens only where there are sound outputs to choose.
class NoOutputsToChoose : public SoundOutputs {
 public:
  std::vector<std::string> Drivers() override { return {}; }
  std::string CurrentDriver() override { return {}; }
  std::vector<std::string> Devices() override { return {}; }
  int Rate() override { return 48000; }
  bool Use(const SoundOutputChoice&) override { return true; }
};

class MidiWindows : public ::testing::Test {
 protected:
  MidiWindows() {
    SetSoundOutputs(&outputs);
    windows.Show();
    // The main window opens its device first; the other windows open theirs after.
    const auto tapes = TestAudio::Tapes();
    if (tapes.size() > tapesBefore) tape = tapes[tapesBefore];
  }
  ~MidiWindows() override { SetSoundOutputs(nullptr); }
  TSequence& sequence() { return windows.sequence; }
  // A note as midi_in hands it on; the window takes it when its loop runs.
  void Play(int note, int velocity, int channel = 10) {
    windows.midi.Inbox().Heard(NoteOn(note, velocity, channel));
    QTest::qWait(20);
  }
  // Four steps of 280 ms with a kick on the first.
  void MakePattern() {
    sequence().TimeBar->setCurrentIndex(6);  // "4  | 4"
    sequence().ToolButton13->click();
    sequence().Grid().SetCell(1, 2, "Kick      [ ]");
    sequence().Delay->setSliderPosition(kMaxTempoPosition);
    sequence().Delay->triggerAction(QSlider::SliderMove);
    QCoreApplication::processEvents();
  }
  // The output plays a block: the step placed in it is heard.
  void HearABlock() {
    tape->RenderFrames(240);
    QTest::qWait(10);
  }
  bool PlayedPast(int row) {
    return QTest::qWaitFor([&] { return sequence().Engine().PlayRow() > row; }, 10000);
  }

  WindowTestHome home;
  NoOutputsToChoose outputs;
  const size_t tapesBefore = TestAudio::Tapes().size();
  ProgramWindows windows;
  std::shared_ptr<CaptureTape> tape;
};

TEST_F(MidiWindows, RecordWritesNotesIntoTheStepHeardAsOneUndoStep) {
  ASSERT_TRUE(tape);
  MakePattern();
  QAction* record = windows.midi.RecordAction();
  ASSERT_TRUE(record);
  QTest::keyClick(sequence().StringGrid1, Qt::Key_R);
  ASSERT_TRUE(record->isChecked()) << "R turns Record on";
  const int historyBefore = sequence().History()->count();
  sequence().ToolButton1->click();
  ASSERT_TRUE(PlayedPast(2));
  HearABlock();
  Play(38, 95);   // a snare at step 1, beside the kick
  Play(36, 40);   // the kick again: its own column, a new volume
  Play(60, 100);  // no instrument: nothing
  ASSERT_TRUE(PlayedPast(3));
  for (int block = 0; block < 100; ++block) {
    const auto heard = sequence().Engine().SoundingAt(std::chrono::steady_clock::now());
    if (heard && heard->where >= 3) break;
    HearABlock();
  }
  Play(42, 127, 1);  // a hi-hat on channel 1 at step 2
  sequence().ToolButton2->click();
  EXPECT_EQ(sequence().Grid().Cell(1, 2), "Kick      [5]");
  EXPECT_EQ(sequence().Grid().Cell(2, 2), "Snare     [2]");
  EXPECT_EQ(sequence().Grid().Cell(3, 2), "");
  EXPECT_EQ(sequence().Grid().Cell(1, 3), "ClsHiat   [1]");
  ASSERT_EQ(sequence().History()->count(), historyBefore + 1) << "one pass, one step";
  EXPECT_EQ(sequence().History()->undoText(), "Record pass 1");
  sequence().History()->undo();
  EXPECT_EQ(sequence().Grid().Cell(1, 2), "Kick      [ ]");
  EXPECT_EQ(sequence().Grid().Cell(2, 2), "");
  EXPECT_EQ(sequence().Grid().Cell(1, 3), "");
}

TEST_F(MidiWindows, NotesWithRecordOffOrPatternStoppedWriteNothing) {
  MakePattern();
  const int historyBefore = sequence().History()->count();
  Play(38, 100);  // Record off, stopped
  windows.midi.RecordAction()->setChecked(true);
  Play(38, 100);  // Record on, stopped
  EXPECT_EQ(sequence().Grid().Cell(2, 2), "");
  EXPECT_EQ(sequence().History()->count(), historyBefore);
}

TEST_F(MidiWindows, EachPassIsAStepOfItsOwn) {
  MakePattern();
  windows.midi.RecordAction()->setChecked(true);
  const int historyBefore = sequence().History()->count();
  for (int pass = 0; pass < 2; ++pass) {
    sequence().ToolButton1->click();
    ASSERT_TRUE(PlayedPast(2));
    HearABlock();
    Play(pass == 0 ? 38 : 46, 127);
    sequence().ToolButton2->click();
    QTest::qWait(120);  // the pass watch sees the stop
  }
  EXPECT_EQ(sequence().History()->count(), historyBefore + 2);
  sequence().History()->undo();
  EXPECT_EQ(sequence().Grid().Cell(2, 2), "Snare     [1]");
  EXPECT_EQ(sequence().Grid().Cell(3, 2), "");
}

TEST_F(MidiWindows, CountInLeavesThePatternsFirstBarUnrecorded) {
  MakePattern();  // 4 steps of 4: one bar
  if (!Toggles::RepeatIsOn(sequence().RepeatPatternImage())) sequence().ToolButton3->click();
  MidiChoice choice = windows.midi.Choice();
  choice.countIn = true;
  windows.midi.Apply(choice);
  windows.midi.RecordAction()->setChecked(true);
  sequence().ToolButton1->click();
  ASSERT_TRUE(PlayedPast(2));
  HearABlock();
  Play(38, 127);  // step 1 of the count-in bar
  EXPECT_EQ(sequence().Grid().Cell(2, 2), "");
  bool lastStepHeard = false;
  for (int block = 0; block < 600; ++block) {
    HearABlock();
    const auto heard = sequence().Engine().SoundingAt(std::chrono::steady_clock::now());
    if (heard && heard->where == 5) lastStepHeard = true;
    if (lastStepHeard && heard && heard->where == 2) break;
  }
  ASSERT_TRUE(lastStepHeard);
  Play(38, 127);  // step 1 again: the pattern's second bar is recorded
  sequence().ToolButton2->click();
  EXPECT_EQ(sequence().Grid().Cell(2, 2), "Snare     [1]");
}

// R turns the metronome on as the MIDI choice says, on the pattern's beats.
TEST_F(MidiWindows, RecordClicksTheBeatsAsTheChoiceSays) {
  using When = PlaybackEngine::PatternClick::When;
  MakePattern();  // 4 steps of 4: one bar of one beat
  const struct {
    bool click, countIn, record;
    When when;
  } cases[] = {
      {true, false, true, When::Always}, {false, true, true, When::FirstBar},
      {true, true, true, When::Always},  {false, false, true, When::Never},
      {true, false, false, When::Never},
  };
  for (const auto& c : cases) {
    MidiChoice choice = windows.midi.Choice();
    choice.click = c.click;
    choice.countIn = c.countIn;
    windows.midi.Apply(choice);
    if (windows.midi.RecordAction()->isChecked() != c.record)
      QTest::keyClick(sequence().StringGrid1, Qt::Key_R);
    const auto& click = sequence().Engine().CurrentPatternClick();
    EXPECT_EQ(click.when, c.when) << c.click << c.countIn << c.record;
    if (c.when != When::Never) {
      EXPECT_EQ(click.barSteps, 4);
      EXPECT_EQ(click.beatSteps, 4);
    }
  }
}

// A pad learned as Stop stops without sounding or recording its note; the
// same note on another channel, and other notes, still play.
TEST_F(MidiWindows, ANoteThatRunsAnActionNeitherSoundsNorRecords) {
  MidiBeatSettings settings = windows.midiBeat.Settings();
  settings.controls.Set(MidiAction::Stop, {MidiTrigger::Kind::Note, 9, 36});
  windows.midiBeat.Apply(settings);
  const struct {
    int note, channel;
    bool plays;
  } cases[] = {{36, 10, false}, {38, 10, true}, {36, 1, true}};
  for (const auto& c : cases) {
    windows.midi.Inbox().Heard(NoteOn(c.note, 100, c.channel));
    EXPECT_EQ(windows.midi.Inbox().Drain([](const NoteHeard&) {}), c.plays ? 1 : 0)
        << c.note << " on " << c.channel;
  }
  settings.controls.Clear(MidiAction::Stop);
  windows.midiBeat.Apply(settings);
  windows.midi.Inbox().Heard(NoteOn(36, 100, 10));
  EXPECT_EQ(windows.midi.Inbox().Drain([](const NoteHeard&) {}), 1) << "no longer a control";
}

TEST_F(MidiWindows, KitListLearnsTheNextNoteAndKeepsItBesideTheKit) {
  const auto& labels = windows.kitList.Labels();
  ASSERT_GT(labels.size(), 2u);
  QLabel* snare = labels[2];  // the kit's third instrument
  QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2),
                              snare->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(snare, &menuEvent);
  QMenu* menu = windows.kitList.InstrumentMenu();
  ASSERT_TRUE(menu);
  EXPECT_EQ(windows.kitList.InstrumentMenuFor(), "Snare");
  QAction* learn = MenuItem(*menu, "Learn MIDI note");
  ASSERT_TRUE(learn);
  menu->hide();
  learn->trigger();
  EXPECT_EQ(windows.midi.Learning(), "Snare");
  Play(60, 100);
  EXPECT_EQ(windows.midi.Learning(), "");
  const InstrumentTable& chooser = sequence().Instruments();
  EXPECT_EQ(chooser.Item(windows.midi.NoteMap().IndexOf(60)), "Snare     [ ]");
  EXPECT_EQ(windows.midi.NoteMap().IndexOf(38), -1) << "the snare left its old note";
  EXPECT_EQ(ReadFileBytes(home / "power.midimap"), "60 Snare\r\n");

  // Another run finds the map beside the kit.
  MidiLive again(sequence());
  again.Inbox().Heard(NoteOn(60, 100));
  again.TakeNotes();
  EXPECT_EQ(chooser.Item(again.NoteMap().IndexOf(60)), "Snare     [ ]");
}

TEST_F(MidiWindows, AMapThatCannotBeReadLeavesTheDefaultNotes) {
  std::ofstream(home / "power.midimap") << std::string(200000, '1');
  MidiLive again(sequence());
  again.TakeNotes();
  EXPECT_FALSE(home.prompts.Texts().empty()) << "the user is told";
  EXPECT_EQ(sequence().Instruments().Item(again.NoteMap().IndexOf(36)), "Kick      [ ]");
}

TEST_F(MidiWindows, PreferencesChoosesJackPortsAndChannelAndKeepsThem) {
  PrivateJack jack;
  if (!jack.running()) GTEST_SKIP() << "jackd could not start a private server here";
  sequence().PreferencesClick();
  TPreferences* preferences = sequence().PreferencesWindow();
  ASSERT_TRUE(preferences);
  MidiPreferencesPage* page = preferences->MidiPage;
  ASSERT_TRUE(page) << "Preferences has a MIDI group";
  page->ApiBox->setCurrentIndex(page->ApiBox->findData("jack"));
  page->ChannelBox->setCurrentIndex(page->ChannelBox->findData(10));
  page->CountInBox->setChecked(true);
  preferences->Apply();
  EXPECT_TRUE(windows.midi.Ports().IsOpen());
  EXPECT_EQ(windows.midi.Ports().Api(), MidiSystem::Jack);
  const MidiChoice stored = LoadMidiChoice();
  EXPECT_EQ(stored.api, MidiSystem::Jack);
  EXPECT_EQ(stored.channel, 10);
  EXPECT_TRUE(stored.countIn);
  // Channel 10 only: a note on channel 1 is not taken.
  windows.midi.RecordAction()->setChecked(false);
  windows.midi.Inbox().Heard(NoteOn(38, 100, 1));
  int taken = windows.midi.Inbox().Drain([](const NoteHeard&) {});
  EXPECT_EQ(taken, 0);
  windows.midi.Ports().Close();
}
}  // namespace
