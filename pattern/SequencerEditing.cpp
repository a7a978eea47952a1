// TSequence: editing handlers of the step grid, the selector, name and loops.
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include "common/Text.h"
#include "pattern/Options.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"

namespace {
// "Snare     [3]" as a caption: "Snare".
QString Instrument(const std::string& text) {
  QString name = QString::fromLatin1(text.c_str());
  if (name.size() > 10 && name.endsWith(']')) name.truncate(name.lastIndexOf('['));
  return name.trimmed();
}
}  // namespace

void TSequence::StringGrid1MouseUp(Qt::MouseButton button) {
  if (button == Qt::RightButton) {
    PushGridEdit("Volume step", grid_.Record([&] { grid_.StepVolume(); }));
    RefreshGrid();
    return;
  }
  const std::string text = ChooserText();
  bool filled = false;
  GridEdit edit = grid_.Record([&] { filled = grid_.Toggle(text); });
  PushGridEdit(filled ? "Insert " + Instrument(text) : "Empty cell", std::move(edit));
  RefreshGrid();
  if (filled) SoundCellInstrument(text);
}

void TSequence::Insertinstrument1Click() {
  StringGrid1->setFocus();
  const std::string text = ChooserText();
  bool filled = false;
  GridEdit edit = grid_.Record([&] { filled = grid_.Toggle(text); });
  PushGridEdit(filled ? "Insert " + Instrument(text) : "Empty cell", std::move(edit));
  RefreshGrid();
}

void TSequence::FormKeyPress(char key) {
  PushGridEdit(QString("Volume %1").arg(key),
               grid_.Record([&] { grid_.TypeDigit(key, ChooserText(), cellJump_); }));
  RefreshGrid();
}

void TSequence::StringGrid1KeyDown() {
  GridEdit edit = grid_.Record([&] { grid_.DeleteSelection(); });
  const int cells = edit.ChangedCells();
  PushGridEdit(cells == 1 ? QString("Delete 1 cell") : QString("Delete %1 cells").arg(cells),
               std::move(edit));
  RefreshGrid();
}

void TSequence::BitBtn7Click() {
  GridEdit edit = grid_.Record([&] { grid_.ClearPattern(); });
  const GridCommand::Loops loops{Loop->value(), 1};
  {
    const QSignalBlocker block(Edit2);
    Edit2->clear();
  }
  ShowLoops(1);
  PushGridEdit("Clear pattern", std::move(edit), loops);
  RefreshGrid();
}

void TSequence::TimeBarChange() {
  ParseTimeBar(TimeBar->currentText().toLatin1().toStdString(), pending_);
}

void TSequence::BitBtn13Click() {
  // Nothing chosen yet: there is nothing to apply.
  if (pending_.length.empty() && pending_.time.empty()) return;
  PushGridEdit("Update time/beat",
               grid_.Record([&] { grid_.ApplyLengthAndTime(pending_.length, pending_.time); }));
  RefreshGrid();
}

void TSequence::Edit2Change() {
  GridEdit edit = grid_.Record([&] { grid_.SetName(Edit2->text().toLatin1().toStdString()); });
  // A pasted line break never reaches the name: the box shows what the cell holds.
  const QString name = QString::fromLatin1(grid_.Cell(0, 0).c_str());
  if (name != Edit2->text()) {
    const QSignalBlocker block(Edit2);
    Edit2->setText(name);
  }
  PushGridEdit("Rename pattern", std::move(edit), std::nullopt, GridCommand::kRename);
  RefreshGrid();
}

void TSequence::LoopChange() {
  const int clamped = ClampLoopCount(Loop->value());
  if (clamped != Loop->value()) {
    const QSignalBlocker block(Loop);
    Loop->setValue(clamped);
  }
  if (clamped != shownLoops_)
    PushGridEdit("Loop count", {}, GridCommand::Loops{shownLoops_, clamped}, GridCommand::kLoops);
  shownLoops_ = clamped;
  ShowUnsavedMarks();
}

void TSequence::CellJump1Click() {
  if (options_) {
    options_->show();
    options_->raise();
  }
}
