// The chooser, the pan bar, the Kit List and Extra samples windows, and a
// click on the grid heard through the captured sound output.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

#include "kit/DXClass.h"
#include "kit/Kit_Listing.h"
#include "kit/LevelMeter.h"
#include "kit/Mixer.h"
#include "kit/Sams.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"

namespace {
class InstrumentWindows : public ::testing::Test {
 protected:
  InstrumentWindows() {
    sequence.SetKitListWindow(&kitList);
    tape = TestAudio::LastTape();
    ShowAndActivate(sequence);
  }
  QPoint At(int col, int row) { return sequence.StringGrid1->CellRect(col, row).center(); }
  // Renders a second of the main window's output; returns the left channel.
  std::vector<float> Listen() {
    tape->Clear();
    tape->RenderFrames(tape->settings().rate);
    std::vector<float> left;
    const auto samples = tape->Samples();
    for (size_t i = 0; i < samples.size(); i += 2) left.push_back(samples[i]);
    return left;
  }
  static float Peak(const std::vector<float>& s) {
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    return peak;
  }
  // Peak of a kit entry's 16-bit wave, as a float sample.
  float WavePeak(const std::string& name) {
    const auto& wave = sequence.Kit().Items.Find(name).Wave();
    const auto* data = reinterpret_cast<const int16_t*>(wave.Data());
    int peak = 0;
    for (int i = 0; i < wave.Size() / 2; ++i) peak = std::max(peak, std::abs(int(data[i])));
    return peak / 32768.0f;
  }

  WindowTestHome home;
  TSequence sequence;
  TKit_List kitList;
  std::shared_ptr<CaptureTape> tape;
};
}  // namespace

TEST_F(InstrumentWindows, ClickingACellSoundsTheSnareOnce) {
  ASSERT_TRUE(sequence.Sound().Initialized());
  sequence.ComboBox1->setCurrentText("Snare     [ ]");
  Listen();  // whatever came before
  Click(sequence.StringGrid1, At(2, 3));
  EXPECT_EQ(sequence.Grid().Cell(2, 3), "Snare     [ ]");
  const auto heard = Listen();
  const float peak = Peak(heard);
  EXPECT_NEAR(peak, WavePeak("Snare     [ ]"), 0.05f * WavePeak("Snare     [ ]"));
  // One hit: after its onset the sound dies away and stays silent.
  EXPECT_LT(Peak(std::vector<float>(heard.end() - 1000, heard.end())), 0.001f);
  Click(sequence.StringGrid1, At(2, 3));  // emptying the cell sounds nothing
  EXPECT_EQ(Peak(Listen()), 0.0f);
}

TEST_F(InstrumentWindows, PanBarSetsTheChosenInstrumentsPan) {
  sequence.ComboBox1->setCurrentText("Tom2      [ ]");
  sequence.Panning->setValue(-1200);
  EXPECT_EQ(sequence.Kit().Items.Find("Tom2      [ ]").Pan, -1200);
  sequence.ComboBox1->setCurrentText("Kick      [ ]");
  EXPECT_EQ(sequence.Panning->value(), 0);
  sequence.ComboBox1->setCurrentText("tom2      [ ]");  // the chooser ignores letter case
  EXPECT_EQ(sequence.Panning->value(), -1200);
  EXPECT_TRUE(home.prompts.messages.empty());
}

TEST_F(InstrumentWindows, PanBarWithASampleChosenExplains) {
  sequence.ComboBox1->setCurrentText("Sample4");
  sequence.Panning->setValue(300);
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text,
            "Use the sample importer (Edit/Sample#) to change your imported samples panning");
  EXPECT_EQ(home.prompts.messages[0].caption, "Sample Panning");
  EXPECT_EQ(sequence.Kit().Items.Find("Tamb      [ ]").Pan, 0);
}

TEST_F(InstrumentWindows, KitListShowsShortNamesAndClickingChooses) {
  ASSERT_EQ(kitList.Labels().size(), 16u);
  EXPECT_EQ(kitList.Labels()[0]->text(), "Kick");
  EXPECT_EQ(kitList.Labels()[1]->text(), "Short Kick");
  EXPECT_EQ(kitList.windowTitle(), "Kit List");
  sequence.Kit().Items.Find("Cowbell   [ ]").Pan = 700;
  kitList.show();
  QTest::mouseClick(kitList.Labels()[13], Qt::LeftButton);
  EXPECT_EQ(sequence.ChooserText(), "Cowbell   [ ]");
  EXPECT_EQ(sequence.Panning->value(), 700);
  EXPECT_EQ(KitLabelCaption("Kick      [ ]"), "Kick");
  EXPECT_EQ(KitLabelCaption("  Hat  [ ]"), "Hat");
}

TEST_F(InstrumentWindows, PlaySelectedSampleSoundsTheLastKitEntryForUnknownText) {
  sequence.ComboBox1->setCurrentText("no such drum");
  Listen();
  sequence.ToolButton10->click();
  // Resampling its bright jingles to the output rate rounds off the peaks.
  EXPECT_GT(Peak(Listen()), 0.5f * WavePeak("Tamb      [ ]"));
}

TEST_F(InstrumentWindows, CtrlPPlaysTheChosenInstrumentAndCtrlSStaysSaveSongs) {
  sequence.ComboBox1->setCurrentText("Snare     [ ]");
  Listen();
  QTest::keyClick(&sequence, Qt::Key_P, Qt::ControlModifier);
  EXPECT_GT(Peak(Listen()), 0.5f * WavePeak("Snare     [ ]"));
  QTest::keyClick(&sequence, Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(home.prompts.fileRequests.size(), 1u);  // Save Song's dialog
  EXPECT_EQ(home.prompts.fileRequests[0].filter, "*.sng|*.sng");
}

// The Kit List's title shows the kit's name whole: a long one widens it.
TEST_F(InstrumentWindows, TheKitListWidensForALongKitName) {
  kitList.ShowTitle("Kit List-power");
  EXPECT_EQ(kitList.width(), TKit_List::kWidth);
  kitList.ShowTitle("Kit List-the drums of the basement studio");
  EXPECT_GT(kitList.width(), TKit_List::kWidth + 80);
  EXPECT_EQ(kitList.windowTitle(), "Kit List-the drums of the basement studio");
}

TEST_F(InstrumentWindows, ImportKeepsPansByPositionAndRebuildsTheChooser) {
  sequence.Kit().Items.Find("Snare     [ ]").Pan = 900;  // position 3
  // A kit of 17 entries under other names: the default kit renamed.
  TWaveCollection other;
  other.LoadFromFile(home / "power.dxg");
  for (int i = 1; i < other.Count(); ++i) other[i].SetName("Drum" + std::to_string(i) + "     [ ]");
  other.Add().SetName("Extra     [ ]");
  other.SaveToFile(home / "other.dxg");
  home.prompts.paths.push_back((home / "other.dxg").string());
  sequence.SoundLibrary1Click();
  EXPECT_EQ(sequence.Instruments().Items().size(), 18u + 32u);
  EXPECT_EQ(sequence.Instruments().Item(18), "Sample1");
  EXPECT_EQ(sequence.Kit().Items.Find("Drum3     [ ]").Pan, 900);
  EXPECT_EQ(home.prompts.fileRequests.at(0).filter, "dxg|*.dxg");
  EXPECT_EQ(sequence.ComboBox1->count(), 50);
}

// After an import the chooser holds an instrument of the new kit, and the
// import names what the grid and the play list's patterns use that the kit
// lacks; an unsaved grid that would fall silent is asked about first.
TEST_F(InstrumentWindows, ImportNamesWhatTheNewKitLacks) {
  TWaveCollection other;
  other.LoadFromFile(home / "power.dxg");
  for (int i = 1; i < other.Count(); ++i)
    if (other[i].Name() != "Snare     [ ]")
      other[i].SetName("Drum" + std::to_string(i) + "     [ ]");
  other.SaveToFile(home / "other.dxg");
  sequence.Edit2->setText("beat");
  sequence.Grid().SetCell(1, 2, "Kick      [3]");
  sequence.Grid().SetCell(2, 2, "Snare     [ ]");
  sequence.ToolButton14->click();                  // saved and on the play list
  sequence.Grid().SetCell(3, 4, "ClsHiat   [ ]");  // and unsaved

  home.prompts.paths.push_back((home / "other.dxg").string());
  home.prompts.answers = {PromptAnswer::Discard};
  sequence.SoundLibrary1Click();
  ASSERT_EQ(home.prompts.Texts(),
            (std::vector<std::string>{"Save changes to pattern 'beat'?",
                                      "Not in this kit: Kick, ClsHiat - their cells stay silent"}));
  EXPECT_EQ(sequence.ChooserText(), "Drum1     [ ]");
}

TEST_F(InstrumentWindows, CancelledImportChangesNothing) {
  sequence.SoundLibrary1Click();  // no path scripted: cancelled
  EXPECT_EQ(sequence.Instruments().Items().size(), 49u);
  EXPECT_TRUE(home.prompts.messages.empty());
}

TEST(ExtraSamples, SlotButtonsKeepTheirSpacingAndChooseTheSlot) {
  TSamples samples;
  const auto& buttons = samples.SlotButtons();
  ASSERT_EQ(buttons.size(), 32u);
  EXPECT_EQ(buttons[0]->y(), 0);
  EXPECT_EQ(buttons[3]->y(), 75);
  EXPECT_EQ(buttons[4]->y(), 106);  // 6 pixels lower than the spacing gives
  EXPECT_EQ(buttons[4]->text(), "Sample 5");
  int chosen = 0;
  samples.OnChooseSlot = [&](int slot) { chosen = slot; };
  QTest::mouseClick(buttons[6], Qt::LeftButton);
  EXPECT_EQ(chosen, 7);
  EXPECT_EQ(samples.Label1->text(), "7");
}

// The Kit List's mixer: each button is one undoable step of the song, a level
// moved in several steps is one, and undo and redo show the mix again.
TEST_F(InstrumentWindows, TheKitListsMixerChangesTheSongAsUndoableSteps) {
  kitList.show();
  sequence.History()->clear();
  const auto& rows = kitList.Rows();
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[0].name, "Kick");
  EXPECT_EQ(rows[2].name, "Snare");
  QTest::mouseClick(rows[0].mute, Qt::LeftButton);
  QTest::mouseClick(rows[2].solo, Qt::LeftButton);
  rows[2].level->setFocus();
  for (int i = 0; i < 5; ++i) QTest::keyClick(rows[2].level, Qt::Key_Left);
  const KitMix mixed{{"Kick", {0, true, false}}, {"Snare", {-50, false, true}}};
  EXPECT_EQ(sequence.Song().Settings().mix, mixed);
  EXPECT_TRUE(sequence.isWindowModified());
  EXPECT_EQ(sequence.History()->count(), 3);
  EXPECT_EQ(rows[2].level->toolTip(), "-0.5 dB");

  struct Shown {
    bool kickMuted, snareSoloed;
    int snareSlider;
  };
  const Shown afterUndo[] = {{true, true, 0}, {true, false, 0}, {false, false, 0}};
  for (const Shown& shown : afterUndo) {
    sequence.History()->undo();
    EXPECT_EQ(rows[0].mute->isChecked(), shown.kickMuted);
    EXPECT_EQ(rows[2].solo->isChecked(), shown.snareSoloed);
    EXPECT_EQ(rows[2].level->value(), shown.snareSlider);
  }
  EXPECT_TRUE(sequence.Song().Settings().mix.empty());
  for (int i = 0; i < 3; ++i) sequence.History()->redo();
  EXPECT_EQ(sequence.Song().Settings().mix, mixed);
  EXPECT_EQ(rows[2].level->value(), -5);
  const int steps = sequence.History()->count();
  QTest::keyClick(rows[0].level, Qt::Key_Right);
  EXPECT_EQ(sequence.History()->count(), steps + 1)
      << "another instrument's level: a step of its own";
  // A level's bottom is -inf, its top +6 dB.
  rows[1].level->setValue(kLevelSliderSilent);
  EXPECT_EQ(sequence.Song().Settings().mix.at("Short Kick").levelCentiDb, InstrumentMix::kSilent);
  EXPECT_EQ(rows[1].level->toolTip(), "-inf dB");
  rows[1].level->setValue(kLevelSliderTop);
  EXPECT_EQ(sequence.Song().Settings().mix.at("Short Kick").levelCentiDb, 600);
}

// What an instrument plays shows on its meter while the Kit List shows, and
// the output's on the main window's meter.
TEST_F(InstrumentWindows, MetersShowWhatEachInstrumentPlays) {
  kitList.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&kitList));
  sequence.ComboBox1->setCurrentText("Snare     [ ]");
  Listen();
  kitList.PollMeters();
  Click(sequence.StringGrid1, At(2, 3));
  Listen();
  kitList.PollMeters();
  const auto& rows = kitList.Rows();
  EXPECT_NEAR(rows[2].meter->Ballistics().LevelDb(), PeakDb(WavePeak("Snare     [ ]")), 1.0);
  EXPECT_EQ(rows[0].meter->Ballistics().LevelDb(), MeterBallistics::kFloorDb);
  auto* output = sequence.findChild<LevelMeter*>("OutputMeter");
  ASSERT_NE(output, nullptr);
  // The main window's meter polls on its own timer.
  for (int wait = 0; wait < 100 && output->Ballistics().LevelDb() <= -20; ++wait) QTest::qWait(20);
  EXPECT_GT(output->Ballistics().LevelDb(), -20);
}

// A pattern played from the main window sounds the Kit List's mix: the muted
// kick is not heard, the snare at its level, as the device's meters of the
// two instruments tell.
TEST_F(InstrumentWindows, APlayingPatternSoundsTheKitListsMix) {
  kitList.show();
  sequence.Grid().SetCell(1, 2, "Kick      [ ]");
  sequence.Grid().SetCell(2, 3, "Snare     [ ]");
  const auto& rows = kitList.Rows();
  Mixer& mixer = sequence.Sound().DSound()->mixer();
  ASSERT_TRUE(mixer.Metering());
  struct Case {
    bool kickMuted;
    int snareSlider;  // tenths of a dB
    float kickGain, snareGain;
  };
  const float digitOne = std::pow(10.0f, -0.25f);  // a blank volume digit: -5 dB
  const Case cases[] = {{false, 0, digitOne, digitOne},
                        {true, -60, 0.0f, digitOne * std::pow(10.0f, -0.3f)}};
  for (const Case& c : cases) {
    if (rows[0].mute->isChecked() != c.kickMuted) QTest::mouseClick(rows[0].mute, Qt::LeftButton);
    rows[2].level->setValue(c.snareSlider);
    mixer.TakeMeterPeak(1);
    mixer.TakeMeterPeak(3);
    tape->RenderFrames(1000);  // the device has run a while
    PlaybackEngine& engine = sequence.Engine();
    engine.BitBtn3Click();
    ASSERT_TRUE(engine.PatternPlaying());
    for (int step = 0; step < 64 && engine.PatternPlaying(); ++step) {
      const int64_t due = engine.PatternClock().Place().frame;
      const auto recorded = static_cast<int64_t>(tape->FramesRecorded());
      if (due > recorded) tape->RenderFrames(static_cast<int>(due - recorded));
      engine.DXTimer2Timer();
    }
    engine.BitBtn4Click();
    tape->RenderFrames(tape->settings().rate / 2);
    EXPECT_NEAR(mixer.TakeMeterPeak(1), WavePeak("Kick      [ ]") * c.kickGain, 0.02f)
        << c.kickMuted;
    EXPECT_NEAR(mixer.TakeMeterPeak(3), WavePeak("Snare     [ ]") * c.snareGain, 0.02f)
        << c.kickMuted;
  }
}
