#pragma once
// One step of the main window's history: a change of the edited song, taken
// back and made again through the window, which applies it and shows it.
// Repeated steps of one control (typing a name, stepping the loop count,
// the tempo or a pan) merge into one step.
#include <QUndoCommand>
#include <functional>

#include "song/SongChange.h"

enum class MergeKey {
  None = -1,
  Rename = 1,
  Loops,
  Tempo,
  Pan,
  Swing,
  HumanizeTiming,
  HumanizeLoudness,
  MixLevel,
  Record
};

class SongCommand : public QUndoCommand {
 public:
  using Apply = std::function<void(const SongChange& change, bool undo)>;

  SongCommand(const QString& text, SongChange change, MergeKey key, Apply apply);
  void undo() override;
  void redo() override;
  int id() const override { return static_cast<int>(key_); }
  bool mergeWith(const QUndoCommand* other) override;

 private:
  SongChange change_;
  MergeKey key_;
  Apply apply_;
  bool applied_ = true;  // pushed after the change was made
};
