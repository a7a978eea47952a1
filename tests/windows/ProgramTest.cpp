// The whole program as main() builds it: every window, wired together.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "app/ProgramWindows.h"
#include "common/Files.h"
#include "pattern/ChooserSlotFiles.h"
#include "pattern/StepGridView.h"
#include "support/EventLoop.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"

namespace fs = std::filesystem;

namespace {

void CopyDemo(const WindowTestHome& home, const std::string& name) {
  fs::copy_file(fs::path(KORVANTO_TEST_SOURCE_DIR) / "data" / "demo" / name, home / name);
}

// No output can be opened, as on a machine without sound.
class NoSoundDevice {
 public:
  NoSoundDevice() {
    SetAudioOutputFactory([]() -> std::unique_ptr<AudioOutput> { return nullptr; });
  }
  ~NoSoundDevice() { TestAudio::Install(); }
};

}  // namespace

TEST(Program, ClosingTheMainWindowEndsTheProgramWhateverElseIsOpen) {
  WindowTestHome home;
  home.prompts.answers.push_back(PromptAnswer::No);  // the kit maker's template question
  ProgramWindows windows;
  windows.Show();
  MenuItem(windows.sequence, "Kit Maker")->trigger();
  windows.samples.SlotButtons()[0]->click();
  windows.sequence.ToolButton3->click();  // repeat pattern: it would play for ever
  MenuItem(windows.sequence, "Play Pattern")->trigger();
  ASSERT_TRUE(windows.kitMaker.isVisible());
  ASSERT_TRUE(windows.sampleEditor.isVisible());
  ASSERT_TRUE(windows.sequence.Engine().PatternPlaying());
  fs::remove(home / "Panning.dat");

  const int code = RunEventLoop([&] { windows.sequence.close(); });

  EXPECT_EQ(code, 0);
  EXPECT_FALSE(windows.sequence.Engine().PatternPlaying());
  for (QWidget* window : QApplication::topLevelWidgets())
    EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
  EXPECT_EQ(ReadTextLines(home / "Panning.dat").size(), 17u);
  // Written once: a second close changes nothing.
  fs::remove(home / "Panning.dat");
  windows.sequence.close();
  EXPECT_FALSE(fs::exists(home / "Panning.dat"));
}

TEST(Program, ASongRendersOnAMachineWithoutSound) {
  WindowTestHome home;
  CopyDemo(home, "Rock.pat");
  WriteTextLines(home / "song.sng", {"Rock"});
  NoSoundDevice noSound;
  ProgramWindows windows;
  windows.OpenSongs({(home / "song.sng").string()});
  windows.Show();
  home.prompts.messages.clear();  // start-up says there is no sound device
  home.prompts.paths.push_back((home / "rock.wav").string());

  MenuItem(windows.sequence, "Render song to wav file")->trigger();

  // Only the finishing message: the file and what it holds.
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text.rfind(
                "Rendered to " + (home / "rock.wav").string() + "\nThe whole song: ", 0),
            0u)
      << home.prompts.messages[0].text;
  const std::string wav = ReadFileBytes(home / "rock.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_TRUE(windows.sequence.ToolButton1->isEnabled());
}

// Open Song gives the slots their files, pitches and pans and moves the
// sample editor's Pitch bar to the frequency.
TEST(Program, OpenSongSetsTheSlotsAndTheSampleEditorsPitchBar) {
  WindowTestHome home;
  fs::copy_file(home / "Blank.wav", home / "beep.wav");
  Lines song{"Rock"};
  for (int slot = 1; slot <= 32; ++slot) {
    const bool beep = slot == 3;
    song.insert(song.end(),
                {"<*sam" + std::to_string(slot), beep ? (home / "beep.wav").string() : "Blank.wav",
                 beep ? "30000" : "22050", "//", beep ? "-1500" : "0"});
  }
  WriteTextLines(home / "song.sng", song);
  ProgramWindows windows;
  windows.Show();
  home.prompts.paths.push_back((home / "song.sng").string());
  MenuItem(windows.sequence, "Open Song")->trigger();
  EXPECT_TRUE(home.prompts.messages.empty()) << home.prompts.messages[0].text;
  EXPECT_EQ(windows.sampleEditor.FrequencyTrackBar->value(), 30000);
  EXPECT_TRUE(windows.sampleEditor.FrequencyTrackBar->isEnabled());
  EXPECT_EQ(windows.sampleEditor.Slots().Pan(3), -1500);
  EXPECT_EQ(windows.samples.SlotButtons()[2]->text(), "beep");
}

// The Extra samples and the Kit List are docks beside the grid, so a
// maximised main window holds them; floated they are windows of their own,
// and closed the Edit menu brings them back. The whole fits a 1280x800 screen.
TEST(Program, TheToolWindowsAreDockedBesideTheGridAndCanFloat) {
  WindowTestHome home;
  ProgramWindows windows;
  windows.Show();
  auto* samplesDock = qobject_cast<QDockWidget*>(windows.samples.parentWidget());
  auto* kitDock = qobject_cast<QDockWidget*>(windows.kitList.parentWidget());
  ASSERT_TRUE(samplesDock && kitDock);
  EXPECT_EQ(windows.sequence.dockWidgetArea(samplesDock), Qt::LeftDockWidgetArea);
  EXPECT_EQ(windows.sequence.dockWidgetArea(kitDock), Qt::RightDockWidgetArea);
  EXPECT_LE(windows.sequence.frameGeometry().width(), 1280);
  EXPECT_LE(windows.sequence.frameGeometry().height(), 772);
  const QWidget& grid = *windows.sequence.StringGrid1;
  const auto left = [&](const QWidget& w) { return w.mapTo(&windows.sequence, QPoint(0, 0)).x(); };
  EXPECT_LE(left(windows.samples) + windows.samples.width(), left(grid));
  EXPECT_LE(left(grid) + grid.width(), left(windows.kitList));
  EXPECT_EQ(kitDock->windowTitle(), windows.kitList.windowTitle()) << "the kit's name shows";

  windows.sequence.showMaximized();
  QApplication::processEvents();
  EXPECT_EQ(windows.kitList.window(), &windows.sequence);
  EXPECT_TRUE(windows.kitList.isVisible());

  kitDock->setFloating(true);
  EXPECT_NE(windows.kitList.window(), &windows.sequence);
  samplesDock->close();
  EXPECT_FALSE(windows.samples.isVisible());
  MenuItem(windows.sequence, "Extra samples")->trigger();
  EXPECT_TRUE(windows.samples.isVisible());
}

// The chooser's list names each slot's file beside "Sample2"; what is chosen,
// and so what cells and files hold, stays "Sample2".
TEST(Program, TheChooserShowsASlotsFileBesideItsNameAndKeepsTheName) {
  WindowTestHome home;
  fs::copy_file(home / "Blank.wav", home / "zap.wav");
  ProgramWindows windows;
  windows.Show();
  windows.samples.SlotButtons()[1]->click();  // slot 2 in the sample editor
  home.prompts.paths.push_back((home / "zap.wav").string());
  windows.sampleEditor.FileOpen->trigger();
  ASSERT_EQ(windows.sampleEditor.Slots().FileName(2), (home / "zap.wav").string());

  QComboBox& chooser = *windows.sequence.ComboBox1;
  const int sample2 = chooser.findText("Sample2");
  ASSERT_GT(sample2, 0);
  EXPECT_EQ(ChooserShownText(chooser, sample2), "Sample2 (zap)");
  EXPECT_EQ(ChooserShownText(chooser, sample2 - 1), "Sample1");  // the blank sound
  EXPECT_EQ(ChooserShownText(chooser, 1), chooser.itemText(1));  // a kit instrument
  chooser.setCurrentIndex(sample2);
  EXPECT_EQ(chooser.currentText(), "Sample2");
  EXPECT_EQ(windows.sequence.ChooserText(), "Sample2");
}
