#include "pattern/SongCommand.h"

SongCommand::SongCommand(const QString& text, SongChange change, MergeKey key, Apply apply)
    : QUndoCommand(text), change_(std::move(change)), key_(key), apply_(std::move(apply)) {}

void SongCommand::undo() {
  apply_(change_, true);
}

void SongCommand::redo() {
  if (applied_) {
    applied_ = false;
    return;
  }
  apply_(change_, false);
}

bool SongCommand::mergeWith(const QUndoCommand* other) {
  const auto* later = static_cast<const SongCommand*>(other);
  if (key_ == MergeKey::Pan && later->change_.pan->entry != change_.pan->entry) return false;
  // A level step names its instrument: another instrument's level is a step of its own.
  if (key_ == MergeKey::MixLevel && later->text() != text()) return false;
  // Each recorded pass is a step of its own; the pass is named in the text.
  if (key_ == MergeKey::Record && later->text() != text()) return false;
  change_.Absorb(later->change_);
  // Stepped back to where it began: no step at all.
  setObsolete(change_.Empty());
  return true;
}
