// The File menu's exports in the running program give what the command line
// gives for the same song: stems, a loop-exact render, a MIDI file, and a
// collected folder that renders the song byte for byte.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/ProgramWindows.h"
#include "common/Files.h"
#include "common/QtPrompts.h"
#include "render/RenderFlow.h"
#include "support/WindowTest.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

QAction* MenuItem(QWidget& window, const QString& caption) {
  for (QAction* action : window.findChildren<QAction*>())
    if (action->text().remove('&') == caption) return action;
  ADD_FAILURE() << "no menu item " << caption.toStdString();
  return nullptr;
}

class ExportMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Rock.pat", "Funk.pat"})
      fs::copy_file(fs::path(KORVANTO_TEST_SOURCE_DIR) / "data" / "demo" / name, home_ / name);
    WriteTextLines(home_ / "song.sng", {"Rock", "Funk"});
    windows_.OpenSongs({(home_ / "song.sng").string()});
    windows_.Show();
    home_.prompts.messages.clear();
  }

  // What the command line says and writes for the same song.
  std::string Command(const std::vector<std::string>& args) {
    const auto run = RunKorvanto(args);
    EXPECT_EQ(run.code, 0) << run.err;
    return run.out;
  }

  std::string LastMessage() const {
    return home_.prompts.messages.empty() ? "" : home_.prompts.messages.back().text;
  }

  WindowTestHome home_;
  ProgramWindows windows_;
};

TEST_F(ExportMenuTest, MonoStemsGoIntoTheChosenFolder) {
  Command({"render", "song.sng", "--stems", "cli", "--mono"});
  windows_.sequence.MonoStemsAction->trigger();
  home_.prompts.paths.push_back((home_ / "stems").string());
  MenuItem(windows_.sequence, "Export stems...")->trigger();

  EXPECT_EQ(home_.prompts.fileRequests.back().title, "Export stems into folder");
  std::size_t stems = 0;
  for (const auto& entry : fs::directory_iterator(home_ / "cli")) {
    ++stems;
    EXPECT_TRUE(ReadFileBytes(home_ / "stems" / entry.path().filename()) ==
                ReadFileBytes(entry.path()))
        << entry.path().filename();
  }
  EXPECT_GT(stems, 3u);
  EXPECT_EQ(LastMessage(), std::to_string(stems) + " of " + std::to_string(stems) +
                               " stems were written to " + (home_ / "stems").string());
  EXPECT_TRUE(windows_.sequence.ToolButton1->isEnabled());
  EXPECT_TRUE(windows_.sequence.ProgressBar1->isHidden());
}

// A pattern in groups of three gives the MIDI file its time signature from
// the menu as from the command line; stems of another song in the folder
// are counted in the message.
TEST_F(ExportMenuTest, MidiMetersAndOtherStemsAsTheCommandLineHasThem) {
  std::vector<command_home::Row> rows(12, command_home::Row{});
  rows[0][0] = "Kick      [ ]";
  WriteTextLines(home_ / "Funk.pat", command_home::PatternLines("Funk", 60, 1, rows, {}, 3));
  Command({"midi", "song.sng", "cli.mid"});
  home_.prompts.paths.push_back((home_ / "gui.mid").string());
  MenuItem(windows_.sequence, "Export MIDI...")->trigger();
  const std::string midi = ReadFileBytes(home_ / "gui.mid");
  EXPECT_TRUE(midi == ReadFileBytes(home_ / "cli.mid"));
  EXPECT_NE(midi.find(std::string("\xFF\x58\x04\x0C\x04\x12\x08", 7)), std::string::npos)
      << "12/16, a click every three sixteenths";

  fs::create_directories(home_ / "stems");
  WriteFileAtomically(home_ / "stems" / "99 Other Song.wav", "x");
  home_.prompts.paths.push_back((home_ / "stems").string());
  MenuItem(windows_.sequence, "Export stems...")->trigger();
  const std::string said = LastMessage();
  EXPECT_NE(said.find(" stems were written to " + (home_ / "stems").string() +
                      "\n1 other stem file is in the folder"),
            std::string::npos)
      << said;
}

TEST_F(ExportMenuTest, TheLoopCheckBoxMakesTheRenderLoopExact) {
  const std::string said = Command({"render", "song.sng", "cli.wav", "--loop"});
  windows_.sequence.LoopExactAction->trigger();
  EXPECT_TRUE(windows_.sequence.LoopExactAction->isChecked());
  home_.prompts.paths.push_back((home_ / "loop.wav").string());
  MenuItem(windows_.sequence, "Render song to wav file")->trigger();
  EXPECT_TRUE(ReadFileBytes(home_ / "loop.wav") == ReadFileBytes(home_ / "cli.wav"));
  ASSERT_FALSE(LastMessage().empty());
  EXPECT_NE(said.find(LastMessage() + "\n"), std::string::npos) << LastMessage() << " / " << said;
  EXPECT_EQ(LastMessage().rfind("Loop of ", 0), 0u);
}

TEST_F(ExportMenuTest, AMidiFileAndACollectedSong) {
  Command({"midi", "song.sng", "cli.mid"});
  Command({"render", "song.sng", "cli.wav"});
  home_.prompts.paths.push_back((home_ / "gui.mid").string());
  MenuItem(windows_.sequence, "Export MIDI...")->trigger();
  EXPECT_EQ(home_.prompts.fileRequests.back().filter, "MIDI files (*.mid)|*.mid");
  EXPECT_TRUE(ReadFileBytes(home_ / "gui.mid") == ReadFileBytes(home_ / "cli.mid"));

  home_.prompts.paths.push_back((home_ / "gig").string());
  MenuItem(windows_.sequence, "Collect song into folder...")->trigger();
  // The song keeps the name of the file it was opened from.
  EXPECT_NE(LastMessage().find("collected into " + (home_ / "gig").string() + " as song.sng"),
            std::string::npos)
      << LastMessage();
  {
    const CurrentDirScope there(home_ / "gig");
    Command({"render", "song.sng", "there.wav"});
  }
  EXPECT_TRUE(ReadFileBytes(home_ / "gig" / "there.wav") == ReadFileBytes(home_ / "cli.wav"));

  // A second collect into the same folder is refused with a message.
  home_.prompts.paths.push_back((home_ / "gig").string());
  MenuItem(windows_.sequence, "Collect song into folder...")->trigger();
  EXPECT_NE(LastMessage().find("is not empty"), std::string::npos) << LastMessage();
  EXPECT_TRUE(windows_.sequence.ToolButton1->isEnabled());
}

// An answer in the render's and exports' dialogs naming a file the song
// reads or the home keeps is refused with a message; nothing is written.
TEST_F(ExportMenuTest, OutputsNeverReplaceTheSongsFiles) {
  struct Case {
    const char* item;
    fs::path chosen;
    std::string reason;
  };
  const std::string own = "Korvanto keeps it in its home folder";
  const std::string temp = "the temp folder holds Korvanto's work files";
  const Case cases[] = {
      {"Render song to wav file", home_ / "song.sng", own},
      {"Render song to wav file", home_ / "power.dxg", own},
      {"Render song to wav file", home_ / "Blank.wav", "it is one of the files being read"},
      {"Render song to wav file", home_ / "temp" / "out.wav", temp},
      {"Export MIDI...", home_ / "Rock.pat", own},
      {"Export stems...", home_ / "temp", temp},
      {"Collect song into folder...", home_ / "temp" / "gig", temp},
  };
  const char* const kept[] = {"song.sng", "Rock.pat", "power.dxg", "Blank.wav"};
  std::vector<std::string> before;
  for (const char* name : kept) before.push_back(ReadFileBytes(home_ / name));
  // The names of the files changed (their bytes are too many to print).
  const auto changed = [&] {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < before.size(); ++i)
      if (ReadFileBytes(home_ / kept[i]) != before[i]) names.push_back(kept[i]);
    return names;
  };
  for (const Case& c : cases) {
    home_.prompts.paths.push_back(c.chosen.string());
    MenuItem(windows_.sequence, c.item)->trigger();
    EXPECT_EQ(LastMessage(), "Cannot write " + c.chosen.string() + ": " + c.reason) << c.item;
    EXPECT_EQ(changed(), std::vector<std::string>{}) << c.item;
    EXPECT_FALSE(fs::exists(home_ / "temp" / "out.wav"));
    EXPECT_FALSE(fs::exists(home_ / "temp" / "gig"));
    EXPECT_TRUE(windows_.sequence.ToolButton1->isEnabled()) << c.item;
  }
}

TEST_F(ExportMenuTest, ARenderNamesTheInstrumentsTheKitLacks) {
  Lines lines = ReadTextLines(home_ / "Rock.pat");
  // The first step's first two channels: a kick and a gong, which no kit has.
  const auto at = std::find(lines.begin(), lines.end(), "1:0*");
  ASSERT_NE(at, lines.end());
  *(at + 1) = "Kick      [ ]";
  *(at + 2) = "Gong      [ ]";
  WriteTextLines(home_ / "Odd.pat", lines);
  WriteTextLines(home_ / "odd.sng", {"Odd"});
  windows_.OpenSongs({(home_ / "odd.sng").string()});
  home_.prompts.messages.clear();
  home_.prompts.paths.push_back((home_ / "odd.wav").string());
  MenuItem(windows_.sequence, "Render song to wav file")->trigger();
  EXPECT_EQ(
      home_.prompts.Texts(),
      std::vector<std::string>{"The kit has no instrument named 'Gong': their steps stay silent."});
  EXPECT_TRUE(fs::exists(home_ / "odd.wav"));
}

// The render's Save dialog: a name typed after choosing "FLAC (*.flac)" gets
// ".flac", after "All files (*.*)" the default ".wav".
TEST(RenderSaveDialog, ATypedNameTakesTheChosenFiltersExtension) {
  TempDir dir;
  QtPrompts prompts;
  auto choose = [&](int filter) {
    QTimer::singleShot(0, [filter] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
      ASSERT_NE(types, nullptr);
      types->setFocus();
      for (int i = 0; i < filter; ++i) QTest::keyClick(types, Qt::Key_Down);
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText("song");
      QMetaObject::invokeMethod(dialog, "accept");
    });
    const auto chosen = prompts.SaveFile(RenderFileRequest(dir.path()));
    return chosen ? fs::path(*chosen).filename().string() : std::string();
  };
  EXPECT_EQ(choose(0), "song.wav");
  EXPECT_EQ(choose(1), "song.flac");
  EXPECT_EQ(choose(2), "song.wav");
}

}  // namespace
