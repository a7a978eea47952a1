#include "song/PlayListSplice.h"

#include <algorithm>

PlayListSplice PlayListSplice::Between(const PlayListState& before, const PlayListState& after) {
  const auto& a = before.entries;
  const auto& b = after.entries;
  const size_t shorter = std::min(a.size(), b.size());
  size_t head = 0;
  while (head < shorter && a[head] == b[head]) ++head;
  size_t tail = 0;
  while (tail < shorter - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
  PlayListSplice splice;
  splice.at = static_cast<int>(head);
  splice.removed.assign(a.begin() + static_cast<long>(head), a.end() - static_cast<long>(tail));
  splice.inserted.assign(b.begin() + static_cast<long>(head), b.end() - static_cast<long>(tail));
  splice.selectedBefore = before.selected;
  splice.selectedAfter = after.selected;
  return splice;
}

void PlayListSplice::Apply(PlayList& list, bool undo) const {
  const auto& out = undo ? inserted : removed;
  const auto& in = undo ? removed : inserted;
  list.Splice(at, static_cast<int>(out.size()), in);
  list.Select(undo ? selectedBefore : selectedAfter);
}
