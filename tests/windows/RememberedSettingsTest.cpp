// What the program remembers between runs: the recent songs, the last folder
// of each kind of dialog, the main window's place, its docks, the splitter
// and the cell jump.
#include <gtest/gtest.h>

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>

#include "app/ProgramWindows.h"
#include "common/AppSettings.h"
#include "common/Files.h"
#include "support/EventLoop.h"
#include "support/WindowTest.h"

namespace fs = std::filesystem;

namespace {
QMenu* RecentMenu(TSequence& sequence) {
  for (QMenu* menu : sequence.findChildren<QMenu*>())
    if (menu->title() == "Open R&ecent") return menu;
  return nullptr;
}

// The recent songs as the menu shows them: path and whether it opens.
std::vector<std::pair<std::string, bool>> RecentItems(TSequence& sequence) {
  QMenu* menu = RecentMenu(sequence);
  Q_EMIT menu->aboutToShow();
  std::vector<std::pair<std::string, bool>> items;
  for (QAction* action : menu->actions())
    items.emplace_back(action->text().section(' ', 1).toStdString(), action->isEnabled());
  return items;
}

// A song of one entry, its pattern beside it.
void WriteSong(const fs::path& file) {
  const fs::path pattern = file.parent_path() / "Rock.pat";
  if (!fs::exists(pattern))
    fs::copy_file(fs::path(KORVANTO_TEST_SOURCE_DIR) / "data" / "demo" / "Rock.pat", pattern);
  WriteTextLines(file, {"Rock"});
}
}  // namespace

TEST(RememberedSettings, OpenRecentListsTheLastSongsOpenedOrSavedNewestFirst) {
  WindowTestHome home;
  TSequence sequence;
  EXPECT_FALSE(RecentMenu(sequence)->isEnabled()) << "a first run has none";
  for (const char* name : {"a.sng", "b.sng"}) WriteSong(home / name);
  home.prompts.paths = {(home / "a.sng").string(), (home / "b.sng").string(),
                        (home / "c.sng").string(), (home / "a.sng").string()};
  MenuItem(sequence, "Open Song")->trigger();
  MenuItem(sequence, "Open Song")->trigger();
  MenuItem(sequence, "Save Song As...")->trigger();
  MenuItem(sequence, "Open Song")->trigger();  // a again: it moves to the head
  fs::remove(home / "b.sng");

  using Items = std::vector<std::pair<std::string, bool>>;
  EXPECT_EQ(RecentItems(sequence), (Items{{(home / "a.sng").string(), true},
                                          {(home / "c.sng").string(), true},
                                          {(home / "b.sng").string(), false}}));
  // The next run finds them.
  TSequence next;
  EXPECT_EQ(RecentItems(next).size(), 3u);
}

TEST(RememberedSettings, OpenRecentKeepsTenAndAsksBeforeUnsavedWorkGoes) {
  WindowTestHome home;
  TSequence sequence;
  for (int i = 1; i <= 12; ++i) {
    const fs::path song = home / ("s" + std::to_string(i) + ".sng");
    WriteSong(song);
    home.prompts.paths.push_back(song.string());
    MenuItem(sequence, "Open Song")->trigger();
  }
  const auto items = RecentItems(sequence);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items.front().first, (home / "s12.sng").string());
  EXPECT_EQ(items.back().first, (home / "s3.sng").string());
  EXPECT_EQ(RecentMenu(sequence)->actions().back()->text().left(3), "1&0");

  // Unsaved work: the one question first; Cancel keeps everything.
  MenuItem(sequence, "Clear List")->trigger();
  ASSERT_TRUE(sequence.Song().SongUnsaved());
  home.prompts.messages.clear();
  home.prompts.answers = {PromptAnswer::Cancel};
  RecentMenu(sequence)->actions()[4]->trigger();  // s8
  EXPECT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(sequence.Song().SongFile(), home / "s12.sng");
  home.prompts.answers = {PromptAnswer::Discard};
  RecentMenu(sequence)->actions()[4]->trigger();
  EXPECT_EQ(sequence.Song().SongFile(), home / "s8.sng");
  EXPECT_EQ(RecentItems(sequence).front().first, (home / "s8.sng").string());
}

// Each kind of dialog starts in the folder its last choice was made in,
// while that folder is there; otherwise in the home folder as before.
TEST(RememberedSettings, EachKindOfDialogStartsWhereTheLastOneEnded) {
  WindowTestHome home;
  TSequence sequence;
  fs::create_directories(home / "songs");
  fs::create_directories(home / "gone");
  WriteSong(home / "songs" / "x.sng");
  struct Case {
    std::string name, item;
    std::optional<std::string> answer;
    std::string expectedStart;
  };
  const std::vector<Case> cases{
      {"first open", "Open Song", (home / "songs" / "x.sng").string(), home.path().string()},
      {"next open", "Open Song", std::nullopt, (home / "songs").string()},
      {"save as", "Save Song As...", (home / "gone" / "y.sng").string(), (home / "songs").string()},
      {"a cancelled dialog keeps it", "Open Song", std::nullopt, (home / "gone").string()},
      {"the kit's own kind", "Drum Kit Library", std::nullopt, home.path().string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    home.prompts.paths = {c.answer};
    MenuItem(sequence, QString::fromStdString(c.item))->trigger();
    ASSERT_FALSE(home.prompts.fileRequests.empty());
    EXPECT_EQ(home.prompts.fileRequests.back().startDir, c.expectedStart);
  }
  fs::remove_all(home / "gone");
  home.prompts.paths = {std::nullopt};
  MenuItem(sequence, "Open Song")->trigger();
  EXPECT_EQ(home.prompts.fileRequests.back().startDir, home.path().string()) << "folder gone";
}

// Closed normally, the program keeps its window's place and size, the
// splitter, the docks and the cell jump; the next start takes them back.
TEST(RememberedSettings, TheNextStartTakesBackTheWindowAsItWasLeft) {
  WindowTestHome home;
  QRect place;
  QList<int> splitter;
  {
    ProgramWindows windows;
    windows.Show();
    windows.sequence.setGeometry(20, 30, 1000, 560);
    windows.sequence.Splitter->setSizes({100, 300});
    splitter = windows.sequence.Splitter->sizes();
    qobject_cast<QDockWidget*>(windows.samples.parentWidget())->close();
    windows.sequence.CellJump1Click();
    windows.options.SpinEdit1->setValue(3);
    QTest::mouseClick(windows.options.Button1, Qt::LeftButton);
    place = windows.sequence.geometry();
    EXPECT_EQ(RunEventLoop([&] { MenuItem(windows.sequence, "Exit")->trigger(); }), 0);
  }
  ProgramWindows windows;
  windows.Show();
  QApplication::processEvents();
  EXPECT_EQ(windows.sequence.geometry(), place);
  EXPECT_EQ(windows.sequence.Splitter->sizes(), splitter);
  EXPECT_FALSE(windows.samples.isVisible());
  EXPECT_TRUE(windows.kitList.isVisible());
  EXPECT_EQ(windows.sequence.CellJump(), 3);
}

// A place no screen holds any more (a screen unplugged or made smaller) is
// not taken: the window is arranged as on a first run.
TEST(RememberedSettings, APlaceNoScreenHoldsFallsBackToTheArrangement) {
  WindowTestHome home;
  QRect firstRun;
  {
    ProgramWindows windows;
    windows.Show();
    firstRun = windows.sequence.geometry();
  }
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  for (const QRect gone : {QRect(area.right() + 500, 40, 1000, 600),
                           QRect(20, 20, area.width() * 3, area.height() * 2)}) {
    {
      ProgramWindows windows;
      windows.Show();
      windows.sequence.setGeometry(gone);
      windows.sequence.SaveSettings();
    }
    ProgramWindows windows;
    windows.Show();
    EXPECT_EQ(windows.sequence.geometry(), firstRun) << gone.x();
  }
}
