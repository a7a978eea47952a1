// TSequence: the pattern editor's handlers. Each forwards the user's action
// to the edited song as one step of the history.
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolTip>

#include "kit/InstrumentPlay.h"
#include "pattern/InstrumentPanel.h"
#include "pattern/Options.h"
#include "pattern/PanelParts.h"
#include "pattern/PatternName.h"
#include "pattern/PatternPanel.h"
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

// A click on a cell: left fills or empties it, right steps its volume.
void TSequence::StringGrid1MouseUp(Qt::MouseButton button) {
  if (button == Qt::RightButton) {
    Push("Volume step", song_.EditGrid([](PatternGrid& grid) { grid.StepVolume(); }));
    return;
  }
  // The cell filled sounds its instrument.
  const std::string text = ChooserText();
  if (ToggleCell(text))
    PlayInstrument(ResolveForCellClick(instruments_, text), DXWaveList1, slotPlayer_, false);
}

// Enter, or Edit > Insert instrument: the chosen instrument into the cell.
void TSequence::Insertinstrument1Click() {
  StringGrid1->setFocus();
  ToggleCell(ChooserText());
}

bool TSequence::ToggleCell(const std::string& text) {
  bool filled = false;
  SongChange change = song_.EditGrid([&](PatternGrid& grid) { filled = grid.Toggle(text); });
  Push(filled ? "Insert " + Instrument(text) : "Empty cell", std::move(change));
  return filled;
}

// A digit typed on the grid: the cell's volume.
void TSequence::FormKeyPress(char key) {
  const std::string text = ChooserText();
  Push(QString("Volume %1").arg(key),
       song_.EditGrid([&](PatternGrid& grid) { grid.TypeDigit(key, text, cellJump_); }));
}

// Delete on the grid: the selected cells empty.
void TSequence::StringGrid1KeyDown() {
  SongChange change = song_.EditGrid([](PatternGrid& grid) { grid.DeleteSelection(); });
  const int cells = change.grid.ChangedCells();
  Push(cells == 1 ? QString("Delete 1 cell") : QString("Delete %1 cells").arg(cells),
       std::move(change));
}

// Edit > New Pattern (Ctrl+Shift+N): a new, empty pattern; the name box
// takes the keyboard.
void TSequence::NewPatternClick() {
  if (!ReadyToReplace(Replacing::Pattern)) return;
  Push("New pattern", song_.NewPattern());
  Edit2->setFocus();
}

// "Clear pattern".
void TSequence::BitBtn7Click() {
  Push("Clear pattern", song_.ClearPattern());
}

// A length and time chosen in the Time/Beat selector, applied by Update time.
void TSequence::TimeBarChange() {
  ParseTimeBar(TimeBar->currentText().toLatin1().toStdString(), pending_);
}

// "Update time/beat to pattern".
void TSequence::BitBtn13Click() {
  if (pending_.length.empty() && pending_.time.empty()) return;  // nothing chosen yet
  Push("Update time/beat", song_.EditGrid([&](PatternGrid& grid) {
    grid.ApplyLengthAndTime(pending_.length, pending_.time);
  }));
}

// The name box typed in: typing a name is one step. A character no file
// name can hold is refused as it is typed, with the reason.
void TSequence::Edit2Change() {
  const std::string name = Edit2->text().toLatin1().toStdString();
  if (const std::string refusal = PatternNameRefusal(name); !refusal.empty()) {
    ShowSong();  // the box shows the name the pattern has
    QToolTip::showText(Edit2->mapToGlobal(QPoint(0, Edit2->height())), Latin1(refusal), Edit2);
    return;
  }
  Push("Rename pattern", song_.EditGrid([&](PatternGrid& grid) { grid.SetName(name); }),
       MergeKey::Rename);
}

// The loop count stepped or typed: repeated steps are one.
void TSequence::LoopChange() {
  Push("Loop count", song_.SetLoops(Loop->value()), MergeKey::Loops);
}

// Options > Cell Jump.
void TSequence::CellJump1Click() {
  if (options_) options_->ShowForInput();
}
