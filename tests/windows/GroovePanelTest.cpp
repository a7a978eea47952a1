// The Groove panel of the main window, driven from the keyboard: each change
// is one step of the history, the players follow it, and an opened or new
// song shows its own groove.
#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>
#include <QUndoStack>

#include "common/Files.h"
#include "pattern/Sequencer.h"
#include "render/Unit1.h"
#include "support/WindowTest.h"

namespace {

class GroovePanelTest : public ::testing::Test {
 protected:
  GroovePanelTest() { ShowAndActivate(sequence); }

  QAbstractSpinBox* Box(const char* name) {
    auto* box = sequence.findChild<QAbstractSpinBox*>(name);
    EXPECT_NE(box, nullptr) << name;
    return box;
  }
  // What the user does: the box's text selected and a new one typed.
  void Type(const char* name, const char* text) {
    QAbstractSpinBox* box = Box(name);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  std::vector<std::string> Shown() {
    return {Box("SwingBox")->text().toStdString(), Box("TimingBox")->text().toStdString(),
            Box("LoudnessBox")->text().toStdString()};
  }
  const Groove& SongGroove() { return sequence.Song().Settings().groove; }

  WindowTestHome home;
  TSequence sequence;
};

TEST_F(GroovePanelTest, EachBoxIsOneUndoableStepThatThePlayersFollow) {
  struct Case {
    const char* box;
    const char* typed;
    int Groove::*field;
    int value;
    const char* step;
  };
  const Case cases[] = {
      {"SwingBox", "50", &Groove::swingPercent, 50, "Swing"},
      {"TimingBox", "12", &Groove::timingMs, 12, "Humanize"},
      {"LoudnessBox", "4.5", &Groove::loudnessTenthDb, 45, "Humanize"},
      {"SwingBox", "75", &Groove::swingPercent, 75, "Swing"},
  };
  for (const Case& c : cases) {
    const int steps = sequence.History()->count();
    const Groove before = SongGroove();
    Type(c.box, c.typed);
    EXPECT_EQ(SongGroove().*c.field, c.value) << c.box << " " << c.typed;
    EXPECT_EQ(sequence.Engine().CurrentGroove(), SongGroove()) << "the players follow at once";
    EXPECT_EQ(sequence.History()->count(), steps + 1) << "typing digits is one step";
    EXPECT_EQ(sequence.History()->undoText().toStdString(), c.step);
    EXPECT_TRUE(sequence.isWindowModified());

    const auto shown = Shown();
    sequence.UndoAction->trigger();
    EXPECT_EQ(SongGroove(), before) << c.box;
    EXPECT_EQ(sequence.Engine().CurrentGroove(), before);
    EXPECT_EQ(SongGroove().*c.field, before.*c.field);
    sequence.RedoAction->trigger();
    EXPECT_EQ(SongGroove().*c.field, c.value);
    EXPECT_EQ(Shown(), shown) << "redo shows the change again";
  }
  EXPECT_EQ(Shown(), (std::vector<std::string>{"75 %", "12 ms", "4.5 dB"}));
}

TEST_F(GroovePanelTest, HumanizeDrawsASeedTheFirstTimeItIsTurnedOn) {
  Type("SwingBox", "30");
  EXPECT_EQ(SongGroove().seed, 0u) << "swing alone draws nothing";
  Type("TimingBox", "5");
  const std::uint32_t seed = SongGroove().seed;
  EXPECT_GT(seed, 0u);
  EXPECT_LE(seed, std::uint32_t(Groove::kMostSeed));
  Type("TimingBox", "0");
  Type("LoudnessBox", "2");
  EXPECT_EQ(SongGroove().seed, seed) << "turned on again, the song keeps its draws";
}

TEST_F(GroovePanelTest, AnOpenedSongShowsItsGrooveAndANewSongClearsIt) {
  std::vector<std::string> pattern{"Beat", "Length:", "1", "Time:", "4", "", "", ""};
  for (int c = 1; c <= 6; ++c) pattern.push_back("Channel:" + std::to_string(c));
  pattern.insert(pattern.end(), {"1", "Kick      [ ]", "", "", "", "", ""});
  for (int c = 0; c < 7; ++c) pattern.emplace_back();
  pattern.insert(pattern.end(), {"60", "1"});
  for (int s = 0; s < 32; ++s) pattern.insert(pattern.end(), {"Blank.wav", "44100"});
  WriteTextLines(home / "Beat.pat", pattern);
  std::vector<std::string> song{"Beat"};
  for (int n = 1; n <= 32; ++n)
    song.insert(song.end(), {"<*sam" + std::to_string(n), "Blank.wav", "44100", "//", "0"});
  song.push_back("<*groove 30 5 20 77");
  WriteTextLines(home / "Swung.sng", song);

  home.prompts.paths.push_back((home / "Swung.sng").string());
  sequence.BitBtn8Click();
  ASSERT_TRUE(home.prompts.messages.empty()) << home.prompts.messages[0].text;
  EXPECT_EQ(Shown(), (std::vector<std::string>{"30 %", "5 ms", "2.0 dB"}));
  EXPECT_EQ(sequence.Engine().CurrentGroove(), (Groove{30, 5, 20, 77}));
  EXPECT_FALSE(sequence.isWindowModified());

  sequence.New_SongClick();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"0 %", "0 ms", "0.0 dB"}));
  EXPECT_TRUE(sequence.Engine().CurrentGroove().IsPlain());
}

// The render from the main window swings the song as set in the panel.
TEST_F(GroovePanelTest, TheMainWindowsRenderPlaysTheGroove) {
  TForm1 renderWindow;
  renderWindow.SetProgressBar(sequence.ProgressBar1);
  renderWindow.SetStopPressed([&] { return false; });
  sequence.SetRenderWindow(&renderWindow, [] { return SlotSounds{}; });
  sequence.Edit2->setText("beat");
  sequence.Grid().SetCell(1, 3, "Kick      [ ]");  // the second step
  sequence.ToolButton14->click();
  auto firstSound = [&](const char* swing) {
    ShowAndActivate(sequence);  // back from the render window
    Type("SwingBox", swing);
    sequence.SongList->setCurrentRow(0);
    const std::string file = std::string("beat") + swing + ".wav";
    home.prompts.paths.push_back((home / file).string());
    QTest::keyClick(&sequence, Qt::Key_F11);
    const std::string bytes = ReadFileBytes(home / file);
    for (std::size_t at = 44; at + 1 < bytes.size(); at += 2)
      if (bytes[at] != 0 || bytes[at + 1] != 0) return static_cast<long>((at - 44) / 4);
    return -1L;
  };
  const long plain = firstSound("0");
  ASSERT_GT(plain, 0);
  // Half of a 120 ms step at 44100 Hz.
  EXPECT_EQ(firstSound("50") - plain, 2646);
}

}  // namespace
