#pragma once
// What one edit of the song changed, each part with its value before and
// after: the grid's cells, the pattern's tempo and loop count, the play
// list, the library, the saved state (for steps that load or open files), a
// deleted pattern file and an instrument's pan. Undo puts the "before" side
// back, redo the "after" side.
#include <optional>
#include <string>
#include <vector>

#include "common/Text.h"
#include "pattern/GridEdit.h"
#include "song/PlayListSplice.h"
#include "song/SongSettings.h"
#include "song/UnsavedChanges.h"

template <typename T>
struct BeforeAfter {
  T before{}, after{};
  const T& Side(bool undo) const { return undo ? before : after; }
  bool Changed() const { return !(before == after); }
};

struct SongChange {
  // A pattern file that a step deleted: undo writes it back.
  struct DeletedFile {
    std::string name;
    Lines lines;
    bool operator==(const DeletedFile&) const = default;
  };
  // A kit instrument's pan: the window's kit applies it.
  struct Pan {
    std::string entry;
    int before = 0, after = 0;
  };

  GridEdit grid;
  std::optional<BeforeAfter<int>> tempo, loops;
  PlayListSplice list;
  std::optional<BeforeAfter<std::vector<std::string>>> library;
  std::optional<BeforeAfter<UnsavedChanges>> saved;
  std::optional<DeletedFile> deleted;
  std::optional<Pan> pan;
  std::optional<BeforeAfter<SongSettings>> settings;  // groove and mix

  bool Empty() const;
  // A later change of the same control: one step from this one's "before" to
  // the later one's "after".
  void Absorb(const SongChange& later);
};
