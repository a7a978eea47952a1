// Undo and redo in the main window, driven as a user drives it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QUndoStack>

#include "common/Files.h"
#include "pattern/PatternFile.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "support/WindowTest.h"

namespace {

// Everything the user sees of the pattern: every stored cell (hidden steps
// too), the shown rows, the name box and the loop count.
struct Seen {
  std::vector<std::string> cells;
  int rows = 0;
  std::string name;
  int loops = 0;
  bool operator==(const Seen&) const = default;
};

class Undo : public ::testing::Test {
 protected:
  Undo() {
    ShowAndActivate(sequence);
    sequence.Edit2->setText("groove");
    for (int row = 2; row < 18; row += 2) sequence.Grid().SetCell(1 + row % 6, row, kKick);
    sequence.Grid().SetCell(5, 15, "Snare     [3]");
    sequence.ToolButton14->click();  // saved: the grid loaded as from a file
    sequence.History()->clear();
  }
  Seen Now() {
    Seen seen{{},
              sequence.Grid().RowCount(),
              sequence.Edit2->text().toStdString(),
              sequence.Loop->value()};
    for (int row = 0; row < 70; ++row)
      for (int col = 0; col < 7; ++col) seen.cells.push_back(sequence.Grid().Cell(col, row));
    return seen;
  }
  QPoint At(int col, int row) { return sequence.StringGrid1->CellRect(col, row).center(); }
  void Undo1() { sequence.UndoAction->trigger(); }
  void Redo1() { sequence.RedoAction->trigger(); }

  const std::string kKick = "Kick      [ ]";
  WindowTestHome home;
  TSequence sequence;
};

}  // namespace

TEST_F(Undo, EveryGridEditIsOneStepBackAndForth) {
  struct Case {
    const char* name;
    std::function<void()> edit;
  };
  const std::vector<Case> cases = {
      {"left click", [&] { Click(sequence.StringGrid1, At(2, 7)); }},
      {"enter", [&] { sequence.InsertInstrumentAction->trigger(); }},
      {"right click", [&] { Click(sequence.StringGrid1, At(3, 2), Qt::RightButton); }},
      {"digit", [&] { QTest::keyClick(sequence.StringGrid1, Qt::Key_4); }},
      {"delete",
       [&] {
         Press(sequence.StringGrid1, At(1, 2));
         DragTo(sequence.StringGrid1, At(6, 17));
         QTest::keyClick(sequence.StringGrid1, Qt::Key_Delete);
       }},
      {"clear", [&] { sequence.ToolButton16->click(); }},
      {"update",
       [&] {
         sequence.TimeBar->setCurrentIndex(7);  // "4  | 2 ": hides twelve steps
         sequence.ToolButton13->click();
       }},
      {"name", [&] { QTest::keyClicks(sequence.Edit2, "-two"); }},
      {"loops",
       [&] {
         sequence.Loop->setValue(3);
         sequence.Loop->setValue(5);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sequence.ComboBox1->setCurrentText("Snare     [ ]");
    sequence.Grid().SetCurrent(3, 2);
    const Seen before = Now();
    c.edit();
    const Seen after = Now();
    ASSERT_NE(before, after);
    ASSERT_TRUE(sequence.UndoAction->isEnabled());
    Undo1();
    EXPECT_EQ(Now(), before);
    Redo1();
    EXPECT_EQ(Now(), after);
    Undo1();
    EXPECT_EQ(Now(), before);
  }
}

TEST_F(Undo, ThePanOfADragIsOneStep) {
  sequence.ComboBox1->setCurrentText("Snare     [ ]");
  const int start = sequence.Kit().Items.Find("Snare     [ ]").Pan;
  sequence.Panning->setSliderDown(true);  // grabbed: the bar tells it was pressed
  for (int pan = 100; pan <= 900; pan += 100) sequence.Panning->setValue(pan);
  sequence.Panning->setSliderDown(false);  // and let go
  EXPECT_EQ(sequence.History()->count(), 1);
  EXPECT_EQ(sequence.UndoAction->text(), "&Undo Pan Snare");
  Undo1();
  EXPECT_EQ(sequence.Kit().Items.Find("Snare     [ ]").Pan, start);
  EXPECT_EQ(sequence.Panning->value(), start);
  Redo1();
  EXPECT_EQ(sequence.Kit().Items.Find("Snare     [ ]").Pan, 900);
}

TEST_F(Undo, EveryPlayListEditIsOneStepBackAndForth) {
  for (const char* name : {"a", "b", "c"}) {
    sequence.Edit2->setText(name);
    sequence.ToolButton14->click();
  }
  sequence.History()->clear();
  auto names = [&] { return sequence.Songs().Names(); };
  struct Case {
    const char* name;
    std::function<void()> edit;
  };
  const std::vector<Case> cases = {
      {"add",
       [&] {
         sequence.MusicLib->setCurrentRow(2);
         sequence.BitBtn1->click();
       }},
      {"remove",
       [&] {
         sequence.SongList->setCurrentRow(1);
         sequence.BitBtn2->click();
       }},
      {"move up",
       [&] {
         sequence.SongList->setCurrentRow(2);
         sequence.UpDownUp->click();
       }},
      {"remove ticked",
       [&] {
         sequence.SongList->item(0)->setCheckState(Qt::Checked);
         sequence.SongList->item(3)->setCheckState(Qt::Checked);
         sequence.SongBin->click();
       }},
      {"clear list", [&] { sequence.ToolButton6->click(); }},
      {"new song", [&] { sequence.New_SongClick(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < sequence.SongList->count(); ++i)
      sequence.SongList->item(i)->setCheckState(Qt::Unchecked);
    const auto before = names();
    const Seen grid = Now();
    c.edit();
    const auto after = names();
    ASSERT_NE(before, after);
    Undo1();
    EXPECT_EQ(names(), before);
    EXPECT_EQ(Now(), grid);  // New Song's cleared grid comes back too
    Redo1();
    EXPECT_EQ(names(), after);
    Undo1();
  }
}

// Mixed edits taken back to the start give the pattern as saved; saving
// after an undo writes what the user sees.
TEST_F(Undo, MixedEditsUndoneToTheStartGiveTheSavedPattern) {
  const Seen saved = Now();
  Click(sequence.StringGrid1, At(2, 5));
  QTest::keyClick(sequence.StringGrid1, Qt::Key_7);
  sequence.Loop->setValue(4);
  sequence.TimeBar->setCurrentIndex(3);  // "8  | 8"
  sequence.ToolButton13->click();
  sequence.ToolButton16->click();
  while (sequence.UndoAction->isEnabled()) Undo1();
  EXPECT_EQ(Now(), saved);
  EXPECT_EQ(sequence.Edit2->toolTip(), "Pattern Name");  // nothing unsaved now

  Redo1();  // the click again
  sequence.ToolButton14->click();
  const PatternFileData file = ReadPatternFile(home / "groove.pat", false);
  EXPECT_EQ(file.cells[7 * 5 + 2], sequence.Grid().Cell(2, 5));
  EXPECT_FALSE(file.cells[7 * 5 + 2].empty());
}

// Loading a pattern over unsaved work is a step of its own: undo brings the
// edited grid back, with its name, loops and tempo.
TEST_F(Undo, LoadingAPatternIsAStepThatUndoTakesBack) {
  Click(sequence.StringGrid1, At(2, 5));
  sequence.Loop->setValue(3);
  const Seen edited = Now();
  const int tempo = sequence.Song().Values().tempoPosition;
  QTest::mouseClick(sequence.SongList->viewport(), Qt::LeftButton, {},
                    sequence.SongList->visualItemRect(sequence.SongList->item(0)).center());
  ASSERT_NE(Now(), edited);  // discarded for the file's pattern
  EXPECT_EQ(sequence.UndoAction->text(), "&Undo Load groove");
  Undo1();
  EXPECT_EQ(Now(), edited);
  EXPECT_EQ(sequence.Song().Values().tempoPosition, tempo);
  EXPECT_EQ(sequence.Edit2->toolTip(), "Pattern Name *");
}

TEST_F(Undo, CtrlZInTheGridTakesBackADelete) {
  Press(sequence.StringGrid1, At(1, 2));
  DragTo(sequence.StringGrid1, At(6, 17));
  Release(sequence.StringGrid1, At(1, 2));
  Undo1();  // the release toggled the first cell
  const Seen before = Now();
  QTest::keyClick(sequence.StringGrid1, Qt::Key_Delete);
  EXPECT_EQ(sequence.UndoAction->text(), "&Undo Delete 9 cells");
  QTest::keyClick(sequence.StringGrid1, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Now(), before);
  QTest::keyClick(sequence.StringGrid1, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_NE(Now(), before);
  QTest::keyClick(sequence.StringGrid1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_NE(Now(), before);  // nothing more to redo
}

// One history in the order the user worked: Ctrl+Z takes back the window's
// latest step wherever the focus is, and the step before it next.
TEST_F(Undo, CtrlZTakesBackTheLatestStepWhereverTheFocusIs) {
  const std::vector<std::pair<const char*, QWidget*>> controls = {
      {"grid", sequence.StringGrid1}, {"name box", sequence.Edit2},
      {"loop box", sequence.Loop},    {"play list", sequence.SongList},
      {"library", sequence.MusicLib}, {"pan bar", sequence.Panning},
      {"tempo bar", sequence.Delay}};
  for (const auto& [name, control] : controls) {
    SCOPED_TRACE(name);
    const Seen grid = Now();
    const auto list = sequence.Songs().Names();
    Click(sequence.StringGrid1, At(4, 6));  // a step of the grid
    sequence.MusicLib->setCurrentRow(1);
    sequence.BitBtn1->click();  // then one of the play list
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sequence.Songs().Names(), list);
    EXPECT_NE(Now(), grid);
    QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Now(), grid);
    EXPECT_FALSE(sequence.UndoAction->isEnabled());
  }
}

// Repeated key steps of one control are one step of the history.
TEST_F(Undo, RepeatedKeyStepsOfOneControlAreOneStep) {
  sequence.ComboBox1->setCurrentText("Snare     [ ]");
  const std::vector<std::pair<QWidget*, std::function<int()>>> controls = {
      {sequence.Loop, [&] { return sequence.Song().Values().loops; }},
      {sequence.Panning, [&] { return sequence.Kit().Items.Find("Snare     [ ]").Pan; }},
      {sequence.Delay, [&] { return sequence.Song().Values().tempoPosition; }}};
  for (const auto& [control, value] : controls) {
    SCOPED_TRACE(control->objectName().toStdString());
    const int start = value();
    const int steps = sequence.History()->index();
    control->setFocus();
    for (int i = 0; i < 3; ++i) QTest::keyClick(control, Qt::Key_Up);
    QApplication::processEvents();
    ASSERT_NE(value(), start);
    EXPECT_EQ(sequence.History()->index(), steps + 1);
    Undo1();
    EXPECT_EQ(value(), start);
  }
}
