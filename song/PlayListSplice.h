#pragma once
// One edit of the play list kept as what it replaced: from index `at`, the
// entries that went and the ones that came, and the selection on each side.
// A move of one entry in a list of thousands keeps two entries, not two lists.
#include <vector>

#include "song/PlayList.h"

struct PlayListSplice {
  int at = 0;
  std::vector<PlayListEntry> removed, inserted;
  int selectedBefore = PlayList::kNone, selectedAfter = PlayList::kNone;

  // The narrowest splice that turns one state into the other.
  static PlayListSplice Between(const PlayListState& before, const PlayListState& after);
  // No entry changed (a new selection alone is no edit).
  bool Empty() const { return removed == inserted; }
  // Undo puts the removed entries back; redo the inserted ones.
  void Apply(PlayList& list, bool undo) const;
};
