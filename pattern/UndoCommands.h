#pragma once
// The main window's undo steps. Each wraps what a core operation reported
// it changed; the editing rules stay in core, these only take a change back
// or make it again, and show the result.
#include <QUndoCommand>
#include <optional>
#include <string>

#include "pattern/GridEdit.h"
#include "song/PlayList.h"

class TSequence;

// Edits of the grid, with the loop count where the edit changed it. Typing a
// name or stepping the loop count is one step however many keys it took.
class GridCommand : public QUndoCommand {
 public:
  enum Merge { kNoMerge = -1, kRename = 1, kLoops = 2 };
  struct Loops {
    int before = 1, after = 1;
  };

  GridCommand(TSequence& window, const QString& text, GridEdit edit,
              std::optional<Loops> loops = std::nullopt, Merge merge = kNoMerge);
  void undo() override;
  void redo() override;
  int id() const override { return merge_; }
  bool mergeWith(const QUndoCommand* other) override;

 private:
  TSequence& window_;
  GridEdit edit_;
  std::optional<Loops> loops_;
  Merge merge_;
  bool applied_ = true;  // pushed after the edit was made
};

// Edits of the play list: the list before and after. New Song also clears
// the grid's pattern, which comes back with the list.
class PlayListCommand : public QUndoCommand {
 public:
  PlayListCommand(TSequence& window, const QString& text, PlayListState before, PlayListState after,
                  GridEdit grid = {});
  void undo() override;
  void redo() override;

 private:
  TSequence& window_;
  PlayListState before_, after_;
  GridEdit grid_;
  bool applied_ = true;
};

// One move of the pan bar: the instrument's pan before and after.
class PanCommand : public QUndoCommand {
 public:
  PanCommand(TSequence& window, std::string entry, int before, int after);
  void undo() override;
  void redo() override;

 private:
  TSequence& window_;
  std::string entry_;
  int before_, after_;
  bool applied_ = true;
};
