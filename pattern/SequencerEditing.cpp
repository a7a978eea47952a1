// TSequence: editing handlers of the step grid, the selector, name and loops.
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include "common/Text.h"
#include "pattern/Options.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"

void TSequence::StringGrid1MouseUp(Qt::MouseButton button) {
  if (button == Qt::RightButton) {
    grid_.StepVolume();
  } else {
    const std::string text = ChooserText();
    const bool filled = grid_.Toggle(text);
    RefreshGrid();
    if (filled) SoundCellInstrument(text);
  }
  RefreshGrid();
}

void TSequence::Insertinstrument1Click() {
  StringGrid1->setFocus();
  grid_.Toggle(ChooserText());
  RefreshGrid();
}

void TSequence::FormKeyPress(char key) {
  grid_.TypeDigit(key, ChooserText(), cellJump_);
  RefreshGrid();
}

void TSequence::StringGrid1KeyDown() {
  grid_.DeleteSelection();
  RefreshGrid();
}

void TSequence::BitBtn7Click() {
  grid_.ClearPattern();
  {
    const QSignalBlocker block(Edit2);
    Edit2->clear();
  }
  Loop->setValue(1);
  RefreshGrid();
}

void TSequence::TimeBarChange() {
  ParseTimeBar(TimeBar->currentText().toLatin1().toStdString(), pending_);
}

void TSequence::BitBtn13Click() {
  // Nothing chosen yet: there is nothing to apply.
  if (pending_.length.empty() && pending_.time.empty()) return;
  grid_.ApplyLengthAndTime(pending_.length, pending_.time);
  RefreshGrid();
}

void TSequence::Edit2Change() {
  grid_.SetName(Edit2->text().toLatin1().toStdString());
  // A pasted line break never reaches the name: the box shows what the cell holds.
  const QString name = QString::fromLatin1(grid_.Cell(0, 0).c_str());
  if (name != Edit2->text()) {
    const QSignalBlocker block(Edit2);
    Edit2->setText(name);
  }
  RefreshGrid();
}

void TSequence::LoopChange() {
  const int clamped = ClampLoopCount(Loop->value());
  if (clamped != Loop->value()) Loop->setValue(clamped);
  ShowUnsavedMarks();
}

void TSequence::CellJump1Click() {
  if (options_) {
    options_->show();
    options_->raise();
  }
}

