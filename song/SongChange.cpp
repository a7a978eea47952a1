#include "song/SongChange.h"

namespace {
template <typename T>
bool Changed(const std::optional<BeforeAfter<T>>& part) {
  return part && part->Changed();
}

template <typename T>
void AbsorbPart(std::optional<BeforeAfter<T>>& part, const std::optional<BeforeAfter<T>>& later) {
  if (!later) return;
  if (part)
    part->after = later->after;
  else
    part = later;
}
}  // namespace

bool SongChange::Empty() const {
  const bool gridSame = grid.ChangedCells() == 0 && grid.rowsBefore == grid.rowsAfter;
  return gridSame && !Changed(tempo) && !Changed(loops) && list.Empty() && !Changed(library) &&
         !Changed(saved) && !deleted && !(pan && pan->before != pan->after) && !Changed(settings);
}

void SongChange::Absorb(const SongChange& later) {
  grid.Absorb(later.grid);
  AbsorbPart(tempo, later.tempo);
  AbsorbPart(loops, later.loops);
  AbsorbPart(settings, later.settings);
  if (pan && later.pan) pan->after = later.pan->after;
}
