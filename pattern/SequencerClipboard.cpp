// TSequence: copy, cut, paste and duplicate of the grid's cells, through the
// desktop's clipboard as text. Each change is one step of the history.
#include <QClipboard>
#include <QGuiApplication>

#include "pattern/GridClipboard.h"
#include "pattern/PanelParts.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"

namespace {
QString CellsCaption(const QString& verb, int cells) {
  return cells == 1 ? QString("%1 1 cell").arg(verb) : QString("%1 %2 cells").arg(verb).arg(cells);
}
}  // namespace

// Edit > Copy (Ctrl+C): the selected cells as text.
void TSequence::CopyClick() {
  const std::string text = BlockText(Grid(), Grid().Selection());
  QGuiApplication::clipboard()->setText(Latin1(text));
}

// Edit > Cut (Ctrl+X): copied, then emptied.
void TSequence::CutClick() {
  CopyClick();
  SongChange change = song_.EditGrid([](PatternGrid& grid) { grid.DeleteSelection(); });
  const int cells = change.grid.ChangedCells();
  Push(CellsCaption("Cut", cells), std::move(change));
}

// Edit > Paste (Ctrl+V): the clipboard's cells from the current cell on.
// Text that is not cells, or does not fit, is refused with the reason.
void TSequence::PasteClick() {
  const std::string text = QGuiApplication::clipboard()->text().toLatin1().toStdString();
  const CellBlock block = ParseBlock(text, instruments_);
  Push(CellsCaption("Paste", block.Width() * block.Height()),
       song_.EditGrid([&](PatternGrid& grid) { PasteBlock(grid, block); }));
  StringGrid1->setFocus();
}

// Edit > Duplicate steps (Ctrl+D): the selected steps again right after them.
void TSequence::DuplicateStepsClick() {
  Push("Duplicate steps", song_.EditGrid([](PatternGrid& grid) { DuplicateSelectedRows(grid); }));
  StringGrid1->setFocus();
}
