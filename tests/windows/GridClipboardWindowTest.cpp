// Copy, cut, paste and duplicate in the main window's grid, with the keys a
// user presses, through the desktop's clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QUndoStack>

#include "pattern/GridClipboard.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "support/WindowTest.h"

namespace {
const std::string kKick = "Kick      [ ]";
const std::string kSnare = "Snare     [ ]";
const std::string kHat5 = "ClsHiat   [5]";

class GridClipboardWindow : public ::testing::Test {
 protected:
  GridClipboardWindow() {
    ShowAndActivate(sequence);
    // Kick, Snare on steps 1 and 2 of channels 1 and 2; a hat at step 3.
    Fill(1, 2, kKick);
    Fill(2, 3, kSnare);
    Fill(1, 4, kHat5);
    history = sequence.History()->index();
  }
  QPoint At(int col, int row) { return sequence.StringGrid1->CellRect(col, row).center(); }
  const std::string& Cell(int col, int row) { return sequence.Grid().Cell(col, row); }
  void Fill(int col, int row, const std::string& text) {
    sequence.ComboBox1->setCurrentText(QString::fromLatin1(text.substr(0, 11) + " ]"));
    Click(sequence.StringGrid1, At(col, row));
    if (text[11] != ' ') QTest::keyClick(sequence.StringGrid1, Qt::Key(Qt::Key_0 + text[11] - '0'));
  }
  void Select(int col1, int row1, int col2, int row2) {
    Press(sequence.StringGrid1, At(col1, row1));
    DragTo(sequence.StringGrid1, At(col2, row2));
    QTest::mouseRelease(sequence.StringGrid1->viewport(), Qt::LeftButton, {}, At(col2, row2));
    // The release of a left click fills the current cell: take that back.
    sequence.History()->undo();
  }
  void Press(QAbstractItemView* view, QPoint at) {
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
  }
  void Key(int key) { QTest::keyClick(sequence.StringGrid1, Qt::Key(key), Qt::ControlModifier); }
  std::string Cells() { return BlockText(sequence.Grid(), {1, 2, 6, 17}); }
  std::string Clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }

  WindowTestHome home;
  TSequence sequence;
  int history = 0;
};
}  // namespace

TEST_F(GridClipboardWindow, CopiedCellsPasteAtTheCurrentCellAsOneStep) {
  Select(1, 2, 2, 4);
  Key(Qt::Key_C);
  EXPECT_EQ(Clipboard(), kKick + "\t\n\t" + kSnare + "\n" + kHat5 + "\t\n");
  EXPECT_EQ(sequence.History()->index(), history) << "copying changes nothing";

  Select(4, 10, 4, 10);
  const std::string before = Cells();
  Key(Qt::Key_V);
  EXPECT_EQ(Cell(4, 10), kKick);
  EXPECT_EQ(Cell(5, 11), kSnare);
  EXPECT_EQ(Cell(4, 12), kHat5);
  EXPECT_EQ(Cell(1, 2), kKick) << "the copied cells stay";
  EXPECT_EQ(sequence.History()->index(), history + 1);
  EXPECT_EQ(sequence.History()->undoText(), "Paste 6 cells");
  QTest::keyClick(sequence.StringGrid1, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Cells(), before);
}

TEST_F(GridClipboardWindow, CutCellsEmptyAndComeBackWithUndo) {
  const std::string before = Cells();
  Select(1, 2, 2, 3);
  Key(Qt::Key_X);
  EXPECT_EQ(Clipboard(), kKick + "\t\n\t" + kSnare + "\n");
  EXPECT_EQ(Cell(1, 2), "");
  EXPECT_EQ(Cell(2, 3), "");
  EXPECT_EQ(Cell(1, 4), kHat5);
  EXPECT_EQ(sequence.History()->undoText(), "Cut 2 cells");
  sequence.History()->undo();
  EXPECT_EQ(Cells(), before);
}

TEST_F(GridClipboardWindow, DuplicateRepeatsTheSelectedStepsRightAfterThem) {
  Select(2, 2, 2, 4);
  Key(Qt::Key_D);
  EXPECT_EQ(Cell(1, 5), kKick);
  EXPECT_EQ(Cell(2, 6), kSnare);
  EXPECT_EQ(Cell(1, 7), kHat5);
  EXPECT_EQ(sequence.History()->index(), history + 1);
  Key(Qt::Key_D);  // the copy is selected: again after it
  EXPECT_EQ(Cell(1, 8), kKick);
  EXPECT_EQ(Cell(1, 10), kHat5);
  EXPECT_EQ(sequence.History()->index(), history + 2);
}

// Text that is not cells, or does not fit, is refused with the reason and
// changes nothing.
TEST_F(GridClipboardWindow, TextThatDoesNotFitIsRefusedAndChangesNothing) {
  struct Case {
    std::string text;
    int col, row;
    std::string message;
  };
  const std::vector<Case> cases{
      {"Dear diary,\nthe kick was late.", 1, 2,
       "Line 1, cell 1 of the clipboard, \"Dear diary,\", is not an instrument of the chooser: "
       "nothing was pasted."},
      {kKick + "\t" + kSnare, 6, 2,
       "The clipboard holds 2 cells a line; from channel 6 only 1 fit: nothing was pasted."},
      {kKick + "\n" + kKick + "\n" + kKick + "\n", 3, 16,
       "The clipboard holds 3 lines; from step 15 on, the pattern has 2 steps: nothing was "
       "pasted."},
      {"", 1, 2, "The clipboard holds no cells to paste."},
  };
  const std::string before = Cells();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Select(c.col, c.row, c.col, c.row);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(c.text));
    home.prompts.messages.clear();
    Key(Qt::Key_V);
    ASSERT_EQ(home.prompts.messages.size(), 1u);
    EXPECT_EQ(home.prompts.messages[0].text, c.message);
    EXPECT_EQ(Cells(), before);
    EXPECT_EQ(sequence.History()->index(), history);
  }
}

// Ctrl+C copies; it no longer ends the program. Ctrl+Q does.
TEST_F(GridClipboardWindow, CtrlCCopiesAndCtrlQExits) {
  Select(1, 2, 1, 2);
  Key(Qt::Key_C);
  EXPECT_TRUE(sequence.isVisible());
  EXPECT_EQ(Clipboard(), kKick + "\n");
  home.prompts.answers.push_back(PromptAnswer::Discard);  // the unsaved pattern
  Key(Qt::Key_Q);
  EXPECT_FALSE(sequence.isVisible());
}
