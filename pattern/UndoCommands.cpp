#include "pattern/UndoCommands.h"

#include "pattern/Sequencer.h"

GridCommand::GridCommand(TSequence& window, const QString& text, GridEdit edit,
                         std::optional<Loops> loops, Merge merge)
    : QUndoCommand(text), window_(window), edit_(std::move(edit)), loops_(loops), merge_(merge) {}

void GridCommand::undo() {
  if (!edit_.Empty()) window_.ApplyGridEdit(edit_, true);
  if (loops_) window_.ShowLoops(loops_->before);
}

void GridCommand::redo() {
  if (applied_) {
    applied_ = false;
    return;
  }
  if (!edit_.Empty()) window_.ApplyGridEdit(edit_, false);
  if (loops_) window_.ShowLoops(loops_->after);
}

bool GridCommand::mergeWith(const QUndoCommand* other) {
  const auto* later = static_cast<const GridCommand*>(other);
  edit_.Absorb(later->edit_);
  if (loops_ && later->loops_) loops_->after = later->loops_->after;
  return true;
}

PlayListCommand::PlayListCommand(TSequence& window, const QString& text, PlayListState before,
                                 PlayListState after, GridEdit grid)
    : QUndoCommand(text),
      window_(window),
      before_(std::move(before)),
      after_(std::move(after)),
      grid_(std::move(grid)) {}

void PlayListCommand::undo() {
  window_.RestorePlayList(before_);
  if (!grid_.Empty()) window_.ApplyGridEdit(grid_, true);
}

void PlayListCommand::redo() {
  if (applied_) {
    applied_ = false;
    return;
  }
  window_.RestorePlayList(after_);
  if (!grid_.Empty()) window_.ApplyGridEdit(grid_, false);
}

PanCommand::PanCommand(TSequence& window, std::string entry, int before, int after)
    : QUndoCommand(
          QString("Pan %1").arg(QString::fromLatin1(entry.c_str()).section('[', 0, 0).trimmed())),
      window_(window),
      entry_(std::move(entry)),
      before_(before),
      after_(after) {}

void PanCommand::undo() {
  window_.ShowPan(entry_, before_);
}

void PanCommand::redo() {
  if (applied_) {
    applied_ = false;
    return;
  }
  window_.ShowPan(entry_, after_);
}
