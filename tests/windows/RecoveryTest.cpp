// Work that survives the program's end: the whole program, as main() builds
// it, killed with unsaved work, ended by a signal, ended cleanly.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include "app/ProgramWindows.h"
#include "common/Files.h"
#include "pattern/StepGridView.h"
#include "song/RecoveryFiles.h"
#include "song/SongFile.h"
#include "support/EventLoop.h"
#include "support/WindowTest.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

// What a user sees of the work: grid, tempo, loops, play list, one slot.
struct Snapshot {
  std::vector<std::string> cells;
  int shownRows = 0;
  int tempo = 0;
  int loops = 0;
  Names playList;
  std::string slotFile;
  int64_t slotFrequency = 0;
  int32_t slotPan = 0;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(ProgramWindows& windows) {
  Snapshot s;
  TSequence& sequence = windows.sequence;
  for (int row = 0; row < 20; ++row)
    for (int col = 0; col < 7; ++col) s.cells.push_back(sequence.Grid().Cell(col, row));
  s.shownRows = sequence.Grid().RowCount();
  s.tempo = sequence.Song().Values().tempoPosition;
  s.loops = sequence.Loop->value();
  s.playList = sequence.Songs().Names();
  SampleSlots& slots = windows.sampleEditor.Slots();
  s.slotFile = slots.FileName(3);
  s.slotFrequency = slots.Frequency(3);
  s.slotPan = slots.Pan(3);
  return s;
}

class Recovery : public ::testing::Test {
 protected:
  Recovery() {
    for (const char* name : {"Rock.pat", "Funk.pat", "Demo.sng"})
      fs::copy_file(fs::path(KORVANTO_TEST_SOURCE_DIR) / "data" / "demo" / name, home / name);
    fs::copy_file(home / "Blank.wav", home / "beep.wav");
  }

  // A run ended without a close left copies of its work; their pattern copy.
  std::string LeaveCopies() {
    {
      ProgramWindows windows;
      windows.StartRecovery();
      Work(windows);
      windows.sequence.FlushRecoveryFiles();
    }
    return ReadFileBytes(files.PatternFile());
  }

  // A grid edit, a play list change and a slot's settings, by the user's ways.
  static void Work(ProgramWindows& windows) {
    TSequence& sequence = windows.sequence;
    sequence.ComboBox1->setCurrentText("Snare     [ ]");
    Click(sequence.StringGrid1, sequence.StringGrid1->CellRect(3, 5).center());
    sequence.Loop->setValue(3);
    sequence.MusicLib->setCurrentRow(1);  // Funk
    sequence.BitBtn1->click();
    windows.sampleEditor.Slots().SetFileName(3, (fs::current_path() / "beep.wav").string());
    windows.sampleEditor.Slots().SetPan(3, -1500);
  }

  WindowTestHome home;
  RecoveryFiles files{fs::current_path()};
};

}  // namespace

// The program is killed (its windows simply go, nothing closes) with a grid
// edit, a play list change and a slot's settings unsaved; the next start asks
// once and puts all of it back, marked unsaved, the song keeping its name.
TEST_F(Recovery, KilledWithUnsavedWorkTheNextStartAsksOnceAndRestoresItAll) {
  Snapshot before;
  {
    auto windows = std::make_unique<ProgramWindows>();
    windows->OpenSongs({"Demo.sng"});
    windows->StartRecovery();
    EXPECT_TRUE(home.prompts.messages.empty());
    Work(*windows);
    windows->sequence.FlushRecoveryFiles();  // the timer's tick
    before = Take(*windows);
    ASSERT_TRUE(files.Found());
  }

  ProgramWindows windows;
  windows.OpenSongs({"Demo.sng"});
  const Snapshot fresh = Take(windows);
  home.prompts.answers = {PromptAnswer::Restore};
  windows.StartRecovery();

  EXPECT_EQ(home.prompts.Texts(), Names{kRecoveryQuestion});
  EXPECT_EQ(Take(windows), before);
  EXPECT_NE(fresh, before);
  EXPECT_EQ(windows.sequence.windowTitle(), "Korvanto - Demo.sng[*]");
  EXPECT_TRUE(windows.sequence.isWindowModified());
  EXPECT_EQ(windows.sequence.Edit2->toolTip(), "Pattern Name *");
  EXPECT_EQ(windows.samples.SlotButtons()[2]->text(), "beep");
  // Restored work is a fresh start for the history.
  EXPECT_FALSE(windows.sequence.History()->canUndo());
}

TEST_F(Recovery, NoLetsTheWorkGoAndTheWindowsStartAsUsual) {
  {
    ProgramWindows windows;
    windows.StartRecovery();
    Work(windows);
    windows.sequence.FlushRecoveryFiles();
  }
  ProgramWindows windows;
  const Snapshot fresh = Take(windows);
  home.prompts.answers = {PromptAnswer::Discard};
  windows.StartRecovery();
  EXPECT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_FALSE(files.Found());
  EXPECT_EQ(Take(windows), fresh);
  EXPECT_TRUE(windows.sequence.KeepsRecovery());
}

TEST_F(Recovery, ACleanCloseRemovesTheCopiesAndNothingUnsavedWritesNone) {
  ProgramWindows windows;
  windows.StartRecovery();
  windows.sequence.FlushRecoveryFiles();
  EXPECT_FALSE(fs::exists(files.Folder()));

  Work(windows);
  windows.sequence.FlushRecoveryFiles();
  ASSERT_TRUE(files.Found());
  home.prompts.answers = {PromptAnswer::Discard, PromptAnswer::Discard};
  const int code = RunEventLoop([&] { windows.sequence.close(); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(home.prompts.messages.size(), 2u);
  EXPECT_FALSE(fs::exists(files.Folder()));
}

// The path a signal takes: no question, Panning.dat written, the unsaved
// work left for the next start, the loop ended with 0.
TEST_F(Recovery, ASignalsEndAsksNothingAndLeavesTheWorkForTheNextStart) {
  ProgramWindows windows;
  windows.Show();
  windows.StartRecovery();
  Work(windows);
  windows.sequence.ToolButton3->click();  // repeat pattern: it would play for ever
  windows.sequence.ToolButton1->click();
  fs::remove(home / "Panning.dat");

  const int code = RunEventLoop([&] { windows.EndQuietly(); });

  EXPECT_EQ(code, 0);
  EXPECT_TRUE(home.prompts.messages.empty()) << home.prompts.messages[0].text;
  EXPECT_FALSE(windows.sequence.Engine().PatternPlaying());
  EXPECT_FALSE(windows.sequence.isVisible());
  EXPECT_EQ(ReadTextLines(home / "Panning.dat").size(), 17u);
  EXPECT_TRUE(fs::exists(files.PatternFile()));
  EXPECT_EQ(ReadSongFile(files.SongFile()).entries.back(), "Funk");
}

// A dialog waits for an answer when the signal comes: it goes unanswered
// and the program still ends.
TEST_F(Recovery, ASignalWhileADialogWaitsClosesTheDialogFirst) {
  ProgramWindows windows;
  windows.Show();
  int answer = -1;
  const int code = RunEventLoop([&] {
    QDialog dialog(&windows.sequence);
    QTimer::singleShot(50, [&] { windows.EndQuietly(); });
    answer = dialog.exec();
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(answer, QDialog::Rejected);
  EXPECT_FALSE(windows.sequence.isVisible());
}

// Dismissed (Escape, the close button, the program ending), the question
// leaves the copies for the next start; this run keeps its own beside them,
// and the next start offers both.
TEST_F(Recovery, ADismissedQuestionKeepsTheCopiesForTheNextStart) {
  const std::string copy = LeaveCopies();
  {
    ProgramWindows windows;
    home.prompts.answers = {PromptAnswer::Cancel};
    windows.StartRecovery();
    EXPECT_TRUE(windows.sequence.KeepsRecovery());
    windows.sequence.Grid().SetCell(6, 9, "Snare     [ ]");
    windows.sequence.FlushRecoveryFiles();
    EXPECT_EQ(ReadFileBytes(files.PatternFile()), copy);
  }
  EXPECT_EQ(RecoveryFiles::FoundIn(home.path()).size(), 2u);
  ProgramWindows windows;
  home.prompts.messages.clear();
  home.prompts.answers = {PromptAnswer::Discard, PromptAnswer::Discard};
  windows.StartRecovery();
  EXPECT_EQ(home.prompts.Texts(), (Names{kRecoveryQuestion, kRecoveryQuestion}));
  EXPECT_TRUE(RecoveryFiles::FoundIn(home.path()).empty());
}

// Without the home's lock (forced, or a file system without locks) a run
// keeps copies of its own in temp/recovery-PID, says so once, and asks
// nothing about the shared ones.
TEST_F(Recovery, WithoutTheLockARunKeepsCopiesOfItsOwn) {
  const std::string copy = LeaveCopies();
  ProgramWindows windows;
  home.prompts.messages.clear();
  windows.StartRecovery(false);
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_NE(home.prompts.messages[0].text.find("temp/recovery-"), std::string::npos);
  windows.sequence.Grid().SetCell(6, 9, "Snare     [ ]");
  windows.sequence.FlushRecoveryFiles();
  EXPECT_EQ(ReadFileBytes(files.PatternFile()), copy);
  const RecoveryFiles own(home.path(), RecoveryFiles::OwnFolder(static_cast<long>(getpid())));
  EXPECT_TRUE(own.Found());
}

// What exit() runs (Qt's own exit when the display goes away): the players'
// workers end and the latest work is copied, though no tick came since.
TEST_F(Recovery, TheExitStopEndsThePlayersAndCopiesTheLatestWork) {
  ProgramWindows windows;
  windows.StartRecovery();
  windows.sequence.ToolButton3->click();
  windows.sequence.ToolButton1->click();
  ASSERT_TRUE(windows.sequence.Engine().PatternPlaying());
  Work(windows);

  windows.StopForExit();

  EXPECT_FALSE(windows.sequence.Engine().PatternPlaying());
  EXPECT_TRUE(fs::exists(files.PatternFile()));
  EXPECT_TRUE(fs::exists(files.SongFile()));
}
