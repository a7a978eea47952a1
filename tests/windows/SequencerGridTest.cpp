// The main window's step grid driven with the mouse and the keyboard.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "pattern/Options.h"
#include "pattern/PatternFile.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "support/WindowTest.h"

namespace {
class SequencerGrid : public ::testing::Test {
 protected:
  SequencerGrid() : options(sequence) {
    sequence.SetOptionsWindow(&options);
    ShowAndActivate(sequence);
  }
  QPoint At(int col, int row) { return sequence.StringGrid1->CellRect(col, row).center(); }
  const std::string& Cell(int col, int row) { return sequence.Grid().Cell(col, row); }
  void Choose(const QString& text) { sequence.ComboBox1->setCurrentText(text); }

  WindowTestHome home;
  TSequence sequence;
  TForm2 options;
};
}  // namespace

TEST_F(SequencerGrid, LeftClickFillsAndEmptiesTheClickedCell) {
  Choose("Snare     [ ]");
  Click(sequence.StringGrid1, At(3, 5));
  EXPECT_EQ(Cell(3, 5), "Snare     [ ]");
  Click(sequence.StringGrid1, At(3, 5));
  EXPECT_EQ(Cell(3, 5), "");
}

// Step labels and channel heads take no click: the cell chosen before stays
// as it is, for either button.
TEST_F(SequencerGrid, ClicksOnLabelsAndHeadsChangeNoCell) {
  Choose("Kick      [ ]");
  Click(sequence.StringGrid1, At(2, 4));
  for (const QPoint at : {At(0, 6), At(3, 1)})
    for (const auto button : {Qt::LeftButton, Qt::RightButton}) {
      Click(sequence.StringGrid1, at, button);
      EXPECT_EQ(Cell(2, 4), "Kick      [ ]");
    }
  EXPECT_EQ(Cell(0, 6), "5:0*");
  EXPECT_EQ(sequence.History()->count(), 1);
}

TEST_F(SequencerGrid, RightClicksCycleTheVolumeDigit) {
  Choose("Kick      [ ]");
  Click(sequence.StringGrid1, At(1, 2));
  std::string digits;
  for (int i = 0; i < 9; ++i) {
    Click(sequence.StringGrid1, At(1, 2), Qt::RightButton);
    digits += Cell(1, 2)[11];
  }
  EXPECT_EQ(digits, "234567891");
}

// A right click steps the cell under the pointer; one on a label changes
// nothing.
TEST_F(SequencerGrid, RightClickStepsTheCellUnderThePointer) {
  Choose("Kick      [ ]");
  Click(sequence.StringGrid1, At(1, 2));
  Click(sequence.StringGrid1, At(4, 9));
  Click(sequence.StringGrid1, At(1, 2), Qt::RightButton);
  EXPECT_EQ(Cell(1, 2), "Kick      [2]");
  EXPECT_EQ(Cell(4, 9), "Kick      [ ]");
  Click(sequence.StringGrid1, At(0, 9), Qt::RightButton);
  EXPECT_EQ(Cell(1, 2), "Kick      [2]");
  EXPECT_EQ(Cell(0, 9), "8:3");
}

TEST_F(SequencerGrid, TypedDigitsFollowTheCellJumpFromTheOptionsWindow) {
  sequence.CellJump1Click();
  EXPECT_TRUE(options.isVisible());
  options.SpinEdit1->setValue(4);
  QTest::mouseClick(options.Button1, Qt::LeftButton);
  EXPECT_FALSE(options.isVisible());
  EXPECT_EQ(sequence.CellJump(), 4);

  Choose("Tom1      [ ]");
  Press(sequence.StringGrid1, At(2, 2));  // select without toggling
  sequence.StringGrid1->setFocus();
  QTest::keyClick(sequence.StringGrid1, Qt::Key_7);
  EXPECT_EQ(Cell(2, 2), "Tom1      [7]");
  EXPECT_EQ(sequence.Grid().Row(), 6);
  QTest::keyClick(sequence.StringGrid1, Qt::Key_0);  // ignored
  EXPECT_EQ(Cell(2, 6), "");
}

TEST_F(SequencerGrid, DeleteEmptiesADraggedSelectionAndNothingElse) {
  for (int row = 2; row < 18; ++row)
    for (int col = 1; col <= 6; ++col) sequence.Grid().SetCell(col, row, "Kick      [ ]");
  Choose("Kick      [ ]");
  Press(sequence.StringGrid1, At(2, 4));
  DragTo(sequence.StringGrid1, At(3, 6));
  DragTo(sequence.StringGrid1, At(4, 7));
  Release(sequence.StringGrid1, At(4, 7));
  EXPECT_EQ(Cell(2, 4), "");  // the release toggled the cell where the drag began
  EXPECT_EQ(sequence.Grid().Selection(), (GridRect{2, 4, 4, 7}));
  QTest::keyClick(sequence.StringGrid1, Qt::Key_Delete);
  int empty = 0;
  for (int row = 2; row < 18; ++row)
    for (int col = 1; col <= 6; ++col) empty += Cell(col, row).empty();
  EXPECT_EQ(empty, 12);
  EXPECT_EQ(Cell(5, 4), "Kick      [ ]");
  EXPECT_EQ(Cell(2, 8), "Kick      [ ]");
}

TEST_F(SequencerGrid, EnterInsertsThroughTheMenuWhereverTheFocusIs) {
  Choose("Cowbell   [ ]");
  Press(sequence.StringGrid1, At(5, 3));
  sequence.Edit2->setFocus();
  QTest::keyClick(sequence.Edit2, Qt::Key_Return);
  EXPECT_EQ(Cell(5, 3), "Cowbell   [ ]");
  EXPECT_TRUE(sequence.StringGrid1->hasFocus());
  QTest::keyClick(sequence.StringGrid1, Qt::Key_Return);
  EXPECT_EQ(Cell(5, 3), "");
  sequence.ComboBox1->setFocus();
  QTest::keyClick(sequence.ComboBox1, Qt::Key_Enter);
  EXPECT_EQ(Cell(5, 3), "Cowbell   [ ]");
  sequence.Loop->setFocus();
  QTest::keyClick(sequence.Loop, Qt::Key_Return);
  EXPECT_EQ(Cell(5, 3), "");
}

TEST_F(SequencerGrid, TimeBeatUpdateHidesAndRevealsSteps) {
  sequence.Grid().SetCell(1, 15, "Kick      [ ]");
  sequence.TimeBar->setCurrentIndex(7);  // "4  | 2 "
  sequence.ToolButton13->click();
  EXPECT_EQ(sequence.StringGrid1->model()->rowCount(), 6);
  EXPECT_EQ(Cell(0, 6), "5:0*");
  sequence.TimeBar->setCurrentIndex(0);  // "16 | 4"
  sequence.ToolButton13->click();
  EXPECT_EQ(sequence.StringGrid1->model()->rowCount(), 18);
  EXPECT_EQ(Cell(1, 15), "Kick      [ ]");
}

TEST_F(SequencerGrid, UpdateWithTypedNonsenseLeavesThePatternAndSaysWhy) {
  sequence.TimeBar->setEditText("ab | cd");
  sequence.ToolButton13->click();
  EXPECT_EQ(Cell(2, 0), "16");
  EXPECT_EQ(sequence.StringGrid1->model()->rowCount(), 18);
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "'ab' is not a valid integer value");
}

// "20 | 4  0000000" asks for 200,000,000 steps: refused before anything changes.
TEST_F(SequencerGrid, AHugeTypedLengthChangesNothing) {
  sequence.TimeBar->setEditText("20 | 4  0000000");
  sequence.ToolButton13->click();
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "A pattern has at most 999 steps, not 200000000");
  EXPECT_EQ(Cell(2, 0), "16");
  EXPECT_EQ(Cell(4, 0), "4");
  EXPECT_EQ(sequence.StringGrid1->model()->rowCount(), 18);
  sequence.TimeBar->setEditText("99 | 4  9");
  sequence.ToolButton13->click();
  EXPECT_EQ(Cell(2, 0), "999");
  EXPECT_EQ(sequence.StringGrid1->model()->rowCount(), 1001);
}

// Pasted text with line breaks loses them on the way into a cell or a name,
// so the pattern file written with it reads back.
TEST_F(SequencerGrid, PastedLineBreaksNeverReachAFile) {
  sequence.Edit2->selectAll();
  sequence.Edit2->insert("Rock\r\nRoll");
  EXPECT_EQ(sequence.Edit2->text(), "RockRoll");
  sequence.ComboBox1->lineEdit()->selectAll();
  sequence.ComboBox1->lineEdit()->insert("Kick\n      [ ]");
  EXPECT_EQ(sequence.ComboBox1->currentText(), "Kick      [ ]");
  Click(sequence.StringGrid1, At(1, 2));
  sequence.ComboBox1->lineEdit()->setText("Sn\tare");
  Click(sequence.StringGrid1, At(2, 3));
  sequence.ToolButton14->click();
  EXPECT_TRUE(home.prompts.messages.empty());
  const PatternFileData saved = ReadPatternFile(home / "RockRoll.pat", true);
  EXPECT_EQ(saved.steps, 16);
  EXPECT_EQ(saved.cells[0], "RockRoll");
  EXPECT_EQ(saved.cells[7 * 2 + 1], "Kick      [ ]");
  EXPECT_EQ(saved.cells[7 * 3 + 2], "Snare");
}

TEST_F(SequencerGrid, NameBoxLoopCountAndClear) {
  sequence.Edit2->setText("drums");
  EXPECT_EQ(Cell(0, 0), "drums");
  sequence.Loop->setValue(-3);
  EXPECT_EQ(sequence.Loop->value(), 1);
  sequence.Loop->setValue(4);
  sequence.Grid().SetCell(3, 9, "Kick      [ ]");
  sequence.ToolButton16->click();
  EXPECT_EQ(Cell(3, 9), "");
  EXPECT_EQ(Cell(0, 0), "");
  EXPECT_EQ(sequence.Edit2->text(), "");
  EXPECT_EQ(sequence.Loop->value(), 1);
  EXPECT_EQ(Cell(1, 0), "Length:");
  EXPECT_EQ(Cell(0, 2), "1:0*");
}

// At the default size every tool bar item and a whole cell text show; a
// larger window gives the grid more room; it never gets lower than 540.
TEST_F(SequencerGrid, TheDefaultSizeShowsEverythingAndTheGridGrowsWithTheWindow) {
  QApplication::processEvents();
  const QRect bar = sequence.ToolBar1->rect();
  for (QWidget* item : sequence.ToolBar1->findChildren<QWidget*>()) {
    if (!item->isVisible() || item->parentWidget() != sequence.ToolBar1) continue;
    EXPECT_TRUE(bar.contains(item->geometry()))
        << item->objectName().toStdString() << item->toolTip().toStdString();
  }
  EXPECT_TRUE(sequence.ToolButton19->isVisible());
  const QFontMetrics metrics(sequence.StringGrid1->font());
  const int channel = sequence.StringGrid1->columnWidth(1);
  EXPECT_LE(metrics.horizontalAdvance("ClsHiat   [3]") + 8, channel);
  EXPECT_LE(metrics.horizontalAdvance("Short Kick[9]") + 8, channel);
  EXPECT_LT(sequence.StringGrid1->columnWidth(0), channel);
  const QSize before = sequence.StringGrid1->size();

  sequence.resize(sequence.width() + 300, 800);
  QApplication::processEvents();
  EXPECT_GT(sequence.StringGrid1->height(), before.height() + 150);
  EXPECT_GT(sequence.StringGrid1->columnWidth(1), channel + 40);
  sequence.resize(sequence.width(), 400);
  QApplication::processEvents();
  EXPECT_EQ(sequence.height(), 540);
}

TEST_F(SequencerGrid, OptionsOkTurnsANegativeJumpIntoZero) {
  sequence.CellJump1Click();
  options.SpinEdit1->setValue(-3);
  QTest::mouseClick(options.Button1, Qt::LeftButton);
  EXPECT_EQ(options.SpinEdit1->value(), 0);
  EXPECT_EQ(sequence.CellJump(), 0);
  EXPECT_FALSE(options.isVisible());
}

TEST_F(SequencerGrid, TogglesFlipTheirImage) {
  EXPECT_EQ(sequence.RepeatPatternImage(), 3);
  sequence.ToolButton3->click();
  EXPECT_EQ(sequence.RepeatPatternImage(), 2);
  sequence.ToolButton3->click();
  EXPECT_EQ(sequence.RepeatPatternImage(), 3);
  sequence.ToolButton19->click();
  EXPECT_EQ(sequence.GlobalSpeedImage(), 11);
}

TEST_F(SequencerGrid, PlayPatternDisablesBothPlayButtonsUntilStop) {
  QTest::keyClick(&sequence, Qt::Key_F6);
  EXPECT_TRUE(sequence.Engine().PatternPlaying());
  EXPECT_FALSE(sequence.ToolButton1->isEnabled());
  EXPECT_FALSE(sequence.ToolButton7->isEnabled());
  QTest::keyClick(&sequence, Qt::Key_F8);
  EXPECT_FALSE(sequence.Engine().PatternPlaying());
  EXPECT_TRUE(sequence.ToolButton1->isEnabled());
  EXPECT_TRUE(sequence.ToolButton7->isEnabled());
}

TEST_F(SequencerGrid, MovingTheTempoBarShowsTheBeatsPerMinute) {
  sequence.Delay->setSliderPosition(64);  // as a drag does
  sequence.Delay->triggerAction(QSlider::SliderMove);
  QApplication::processEvents();
  EXPECT_EQ(sequence.Label6->text(), "117.2");
  EXPECT_EQ(sequence.Engine().Tempo().GlobalSpeed(), 64);
  EXPECT_EQ(sequence.Song().Values().tempoPosition, 64) << "the pattern's own tempo";
}

// Ctrl+J opens the cell jump for the keyboard: typed figures and Enter go
// there, not into the grid.
TEST_F(SequencerGrid, TheCellJumpWindowTakesTheKeyboard) {
  ShowAndActivate(sequence);
  QTest::keyClick(&sequence, Qt::Key_J, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&options, 2000));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_3);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(sequence.CellJump(), 3);
  EXPECT_FALSE(options.isVisible());
  EXPECT_EQ(sequence.History()->index(), 0);
}

// The tempo as a musician sets it: a typed BPM takes the nearest position
// and shows the tempo that gives; the Up key makes it faster, as a drag up.
TEST_F(SequencerGrid, ATypedTempoAndTheUpKeySetTheTempo) {
  ShowAndActivate(sequence);
  struct Case {
    const char* typed;
    int position;
    const char* shown;
  };
  for (const Case& c : {Case{"90", 83, "90.4"}, Case{"125", 60, "125.0"}, Case{"120", 63, "119.0"},
                        Case{"9000", 1, "7500.0"}}) {
    sequence.BpmBox->setFocus();
    sequence.BpmBox->setText(c.typed);
    QTest::keyClick(sequence.BpmBox, Qt::Key_Return);
    EXPECT_EQ(sequence.Song().Values().tempoPosition, c.position) << c.typed;
    EXPECT_EQ(sequence.BpmBox->text().toStdString(), c.shown) << c.typed;
  }
  sequence.BpmBox->setFocus();
  sequence.BpmBox->setText("fast");
  QTest::keyClick(sequence.BpmBox, Qt::Key_Return);
  EXPECT_EQ(sequence.Song().Values().tempoPosition, 1);
  EXPECT_EQ(home.prompts.messages.size(), 1u);

  sequence.Delay->setValue(60);
  sequence.DelayChange();
  sequence.Delay->setFocus();
  QTest::keyClick(sequence.Delay, Qt::Key_Up);
  QApplication::processEvents();
  EXPECT_LT(sequence.Song().Values().tempoPosition, 60) << "a shorter step is faster";
}

// The Time/Beat selector shows the pattern's own length and time, and a
// choice there stays until it is applied.
TEST_F(SequencerGrid, TheTimeBeatSelectorShowsThePatternsMeter) {
  EXPECT_EQ(sequence.TimeBar->currentText(), "16 | 4");
  sequence.TimeBar->setCurrentIndex(3);  // "8  | 8"
  Click(sequence.StringGrid1, At(2, 3));
  EXPECT_EQ(sequence.TimeBar->currentText(), "8  | 8");
  sequence.ToolButton13->click();
  EXPECT_EQ(sequence.Grid().Cell(2, 0), "8");
  sequence.UndoAction->trigger();
  EXPECT_EQ(sequence.TimeBar->currentText(), "16 | 4");
}
