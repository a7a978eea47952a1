// TSequence: undo and redo. The grid and the play list keep a history each;
// Ctrl+Z takes back the latest step of the one the user works in.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSlider>
#include <QSpinBox>
#include <QUndoGroup>
#include <QUndoStack>

#include "pattern/Icons.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "pattern/UndoCommands.h"

namespace {
constexpr int kUndoLimit = 500;
}  // namespace

void TSequence::BuildUndo() {
  undoGroup_ = new QUndoGroup(this);
  gridUndo_ = new QUndoStack(undoGroup_);
  listUndo_ = new QUndoStack(undoGroup_);
  for (QUndoStack* stack : {gridUndo_, listUndo_}) stack->setUndoLimit(kUndoLimit);
  undoGroup_->setActiveStack(gridUndo_);
  UndoAction = undoGroup_->createUndoAction(this, "&Undo");
  UndoAction->setShortcut(QKeySequence::Undo);
  UndoAction->setIcon(MakeToolIcon(ToolIcon::Undo));
  RedoAction = undoGroup_->createRedoAction(this, "&Redo");
  RedoAction->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  RedoAction->setIcon(MakeToolIcon(ToolIcon::Redo));
  QAction* first = EditMenu->actions().value(0);
  EditMenu->insertAction(first, UndoAction);
  EditMenu->insertAction(first, RedoAction);
  EditMenu->insertSeparator(first);
  // The history that Ctrl+Z walks follows where the user works.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (!now || now->window() != this) return;
    if (SongList->isAncestorOf(now) || now == SongList || now == MusicLib)
      undoGroup_->setActiveStack(listUndo_);
    else if (now == StringGrid1 || now == Edit2 || Loop->isAncestorOf(now) || now == Panning)
      undoGroup_->setActiveStack(gridUndo_);
  });
}

void TSequence::PushGridEdit(const QString& text, GridEdit edit,
                             std::optional<GridCommand::Loops> loops, int merge) {
  if (edit.Empty() && !loops) return;
  undoGroup_->setActiveStack(gridUndo_);
  gridUndo_->push(
      new GridCommand(*this, text, std::move(edit), loops, static_cast<GridCommand::Merge>(merge)));
}

void TSequence::PushPlayListEdit(const QString& text, const PlayListState& before, GridEdit grid) {
  PlayListState after = playList_.State();
  if (after.entries == before.entries && grid.Empty()) return;
  undoGroup_->setActiveStack(listUndo_);
  listUndo_->push(new PlayListCommand(*this, text, before, std::move(after), std::move(grid)));
}

void TSequence::PushPan(const std::string& entry, int before, int after) {
  if (before == after) return;
  undoGroup_->setActiveStack(gridUndo_);
  gridUndo_->push(new PanCommand(*this, entry, before, after));
}

void TSequence::ClearGridUndo() {
  gridUndo_->clear();
}
void TSequence::ClearPlayListUndo() {
  listUndo_->clear();
}

void TSequence::ApplyGridEdit(const GridEdit& edit, bool undo) {
  grid_.Apply(edit, undo);
  {
    const QSignalBlocker block(Edit2);
    Edit2->setText(QString::fromLatin1(grid_.Cell(0, 0).c_str()));
  }
  RefreshGrid();
}

void TSequence::ShowLoops(int loops) {
  {
    const QSignalBlocker block(Loop);
    Loop->setValue(loops);
  }
  shownLoops_ = loops;
  ShowUnsavedMarks();
}

void TSequence::RestorePlayList(const PlayListState& state) {
  playList_.Restore(state);
  RefreshPlayList();
}

void TSequence::ShowPan(const std::string& entry, int pan) {
  const int index = DXWaveList1.Items.IndexOfName(entry);
  if (index < 0) return;  // the kit was replaced since
  DXWaveList1.Items[index].Pan = pan;
  ComboBox1Change();
}
