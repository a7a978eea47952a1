// The File menu's exports in the running program give what the command line
// gives for the same song: stems, a loop-exact render, a MIDI file, and a
// collected folder that renders the song byte for byte.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <regex>

#include "app/ProgramWindows.h"
#include "common/Files.h"
#include "common/QtPrompts.h"
#include "kit/Kit_Listing.h"
#include "render/RenderFlow.h"
#include "song/SongMenu.h"
#include "support/WindowTest.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

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

  // Clicks the play list's entry, as editing its pattern does.
  void ClickEntry(int row) {
    QListWidget* list = windows_.sequence.SongList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
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

  EXPECT_EQ(home_.prompts.fileRequests.back().title.rfind(
                "Export stems into folder - The whole song: 0:", 0),
            0u);
  std::size_t stems = 0;
  for (const auto& entry : fs::directory_iterator(home_ / "cli")) {
    ++stems;
    EXPECT_TRUE(ReadFileBytes(home_ / "stems" / entry.path().filename()) ==
                ReadFileBytes(entry.path()))
        << entry.path().filename();
  }
  EXPECT_GT(stems, 3u);
  EXPECT_EQ(LastMessage().rfind(std::to_string(stems) + " of " + std::to_string(stems) +
                                    " stems were written to " + (home_ / "stems").string() +
                                    "\nThe whole song: ",
                                0),
            0u)
      << LastMessage();
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
  // One message: the file, what it covers, and the loop as the command line says it.
  const std::string last = LastMessage();
  const auto loop = last.find("\nLoop of ");
  ASSERT_NE(loop, std::string::npos) << last;
  EXPECT_EQ(last.rfind("Rendered to " + (home_ / "loop.wav").string() + "\nThe whole song: ", 0),
            0u)
      << last;
  EXPECT_NE(said.find(last.substr(loop + 1) + "\n"), std::string::npos) << last << " / " << said;
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
  ASSERT_EQ(home_.prompts.Texts().size(), 2u);
  EXPECT_EQ(home_.prompts.Texts()[0],
            "The kit has no instrument named 'Gong': their steps stay silent.");
  EXPECT_EQ(home_.prompts.Texts()[1].rfind("Rendered to " + (home_ / "odd.wav").string(), 0), 0u);
  EXPECT_TRUE(fs::exists(home_ / "odd.wav"));
}

// With an entry after the first selected, each export asks whether to cover
// the whole song or the list from that entry, naming both and their lengths;
// its dialog's title and its last message say what it covered.
TEST_F(ExportMenuTest, ExportsSayWhatTheyCoverAndLetTheUserChoose) {
  WriteTextLines(home_ / "rest.sng", {"Funk"});
  Command({"midi", "song.sng", "whole.mid"});
  Command({"midi", "rest.sng", "rest.mid"});
  const std::regex asked(
      "The whole song: (0:\\d\\d\\.\\d)\nFrom entry 2, Funk, to the end: (0:\\d\\d\\.\\d)");
  struct Case {
    const char* item;
    int choice;
    const char* file;
  };
  for (const Case c :
       {Case{"Export MIDI...", 1, "gui.mid"}, Case{"Export MIDI...", 0, "all.mid"},
        Case{"Render song to wav file", 1, "gui.wav"}, Case{"Export stems...", 0, "stems"}}) {
    SCOPED_TRACE(c.item);
    ClickEntry(1);
    home_.prompts.choicesAsked.clear();
    home_.prompts.choices = {c.choice};
    home_.prompts.paths.push_back((home_ / c.file).string());
    MenuItem(windows_.sequence, c.item)->trigger();
    ASSERT_EQ(home_.prompts.choicesAsked.size(), 1u);
    const auto& choice = home_.prompts.choicesAsked[0];
    EXPECT_EQ(choice.options, (std::vector<std::string>{"Whole song", "From the selected entry"}));
    std::smatch times;
    ASSERT_TRUE(std::regex_match(choice.text, times, asked)) << choice.text;
    EXPECT_NE(times[1], times[2]);
    const std::string covered = c.choice == 0 ? "The whole song: " + times[1].str()
                                              : "From entry 2, Funk, to the end: " + times[2].str();
    const std::string title = home_.prompts.fileRequests.back().title;
    EXPECT_EQ(title.substr(title.size() - covered.size()), covered) << title;
    EXPECT_NE(LastMessage().find((home_ / c.file).string()), std::string::npos) << LastMessage();
    EXPECT_NE(LastMessage().find("\n" + covered), std::string::npos) << LastMessage();
  }
  EXPECT_TRUE(ReadFileBytes(home_ / "gui.mid") == ReadFileBytes(home_ / "rest.mid"));
  EXPECT_TRUE(ReadFileBytes(home_ / "all.mid") == ReadFileBytes(home_ / "whole.mid"));
  EXPECT_EQ(
      LastMessage().rfind(std::to_string(std::distance(fs::directory_iterator(home_ / "stems"),
                                                       fs::directory_iterator())) +
                              " of ",
                          0),
      0u);

  // Cancelling the question exports nothing.
  ClickEntry(1);
  home_.prompts.choices = {std::nullopt};
  home_.prompts.paths.push_back((home_ / "none.mid").string());
  MenuItem(windows_.sequence, "Export MIDI...")->trigger();
  EXPECT_FALSE(fs::exists(home_ / "none.mid"));
  EXPECT_TRUE(windows_.sequence.ToolButton1->isEnabled());
}

// The dialogs suggest the song's name; an output into folders that don't
// exist yet makes them. Each dialog starts where the one before ended.
TEST_F(ExportMenuTest, DialogsSuggestTheSongsNameAndNewFoldersAreMade) {
  struct Case {
    const char* item;
    fs::path chosen;
    std::string suggested;
    fs::path written;
    fs::path start;
  };
  const Case cases[] = {
      {"Render song to wav file", home_ / "new" / "a" / "song.wav", "song.wav",
       home_ / "new" / "a" / "song.wav", home_.path()},
      {"Export MIDI...", home_ / "new" / "b" / "song.mid", "song.mid",
       home_ / "new" / "b" / "song.mid", home_ / "new" / "a"},
      {"Export stems...", home_ / "new" / "c", "", home_ / "new" / "c", home_ / "new" / "b"},
  };
  for (const Case& c : cases) {
    home_.prompts.paths.push_back(c.chosen.string());
    MenuItem(windows_.sequence, c.item)->trigger();
    EXPECT_EQ(home_.prompts.fileRequests.back().fileName, c.suggested) << c.item;
    EXPECT_EQ(home_.prompts.fileRequests.back().startDir, c.start.string()) << c.item;
    EXPECT_TRUE(fs::exists(c.written)) << c.item << ": " << LastMessage();
    EXPECT_EQ(LastMessage().find("Cannot"), std::string::npos) << LastMessage();
  }
  EXPECT_FALSE(fs::is_empty(home_ / "new" / "c"));
}

// Save Song As starts in the home with the song's name (then where the
// last one went); a song saved
// elsewhere is written only when the user agrees that its patterns stay in
// the home, Collect song being offered instead.
TEST_F(ExportMenuTest, ASongSavedOutsideTheHomeSaysItsPatternsStayThere) {
  const fs::path away = home_ / "Music" / "Beat.sng";
  fs::create_directories(away.parent_path());
  for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
    home_.prompts.messages.clear();
    home_.prompts.answers = {answer};
    home_.prompts.paths.push_back(away.string());
    MenuItem(windows_.sequence, "Save Song As...")->trigger();
    ASSERT_FALSE(home_.prompts.fileRequests.empty());
    EXPECT_EQ(home_.prompts.fileRequests.back().startDir,
              (answer == PromptAnswer::No ? home_.path() : away.parent_path()).string());
    EXPECT_EQ(home_.prompts.fileRequests.back().fileName, "song.sng");
    ASSERT_EQ(home_.prompts.Texts(),
              std::vector<std::string>{SongOutsideHomeQuestion(away, home_.path())});
    EXPECT_NE(LastMessage().find("Collect song into folder..."), std::string::npos);
    EXPECT_EQ(fs::exists(away), answer == PromptAnswer::Yes);
  }
  // In the home nothing is asked.
  home_.prompts.messages.clear();
  home_.prompts.paths.push_back((home_ / "Other.sng").string());
  MenuItem(windows_.sequence, "Save Song As...")->trigger();
  EXPECT_EQ(home_.prompts.Texts(), std::vector<std::string>{});
  EXPECT_TRUE(fs::exists(home_ / "Other.sng"));
}

// The folder dialog takes a typed folder that doesn't exist yet.
TEST(StemsFolderDialog, ATypedNewFolderIsChosen) {
  TempDir dir;
  QtPrompts prompts;
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText("fresh");
    QMetaObject::invokeMethod(dialog, "accept");
  });
  FileRequest request;
  request.startDir = dir.path().string();
  const auto chosen = prompts.ChooseFolder(request);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(fs::path(*chosen), dir / "fresh");
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

namespace {

// A song's mix opened in the program shows in the Kit List, and the window's
// render and MIDI file carry it as the command line's do.
TEST_F(ExportMenuTest, TheSongsMixShowsInTheKitListAndReachesTheExports) {
  Lines song = command_home::SongLines({"Rock", "Funk"});
  song.insert(song.end(), {"<*mix 0 1 0 Kick", "<*mix -600 0 0 Snare"});
  WriteTextLines(home_ / "mixed.sng", song);
  windows_.sequence.OpenSongAtStart((home_ / "mixed.sng").string());
  const auto& rows = windows_.kitList.Rows();
  ASSERT_GE(rows.size(), 3u);
  EXPECT_TRUE(rows[0].mute->isChecked());
  EXPECT_EQ(rows[2].level->value(), -60);

  struct Export {
    const char* menu;
    const char* cli;
    const char* gui;
  };
  const Export exports[] = {{"Render song to wav file", "cli.wav", "gui.wav"},
                            {"Export MIDI...", "cli.mid", "gui.mid"}};
  for (const Export& e : exports) {
    Command({std::string(e.cli).ends_with(".mid") ? "midi" : "render", "mixed.sng", e.cli});
    home_.prompts.paths.push_back((home_ / e.gui).string());
    MenuItem(windows_.sequence, e.menu)->trigger();
    EXPECT_TRUE(ReadFileBytes(home_ / e.gui) == ReadFileBytes(home_ / e.cli)) << e.menu;
  }
  // And differ from the plain song's.
  Command({"render", "song.sng", "plain.wav"});
  EXPECT_FALSE(ReadFileBytes(home_ / "plain.wav") == ReadFileBytes(home_ / "gui.wav"));
}

}  // namespace
