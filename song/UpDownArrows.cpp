#include "song/UpDownArrows.h"

#include "song/PlayList.h"

bool UpDownArrows::Press(Arrow arrow) {
  if (arrow == Arrow::Up) {
    if (position_ >= kMax) return false;
    ++position_;
  } else {
    if (position_ <= kMin) return false;
    --position_;
  }
  return true;
}

bool MoveSelectedEntry(PlayList& playList, Arrow arrow) {
  const int i = playList.Selected();
  if (i == PlayList::kNone) return false;
  const int to = arrow == Arrow::Up ? i - 1 : i + 1;
  if (to < 0 || to >= playList.Count()) return false;
  playList.Select(to);
  playList.Exchange(i, to);
  return true;
}

bool PressPlayListArrow(UpDownArrows& arrows, PlayList& playList, Arrow arrow) {
  return arrows.Press(arrow) && MoveSelectedEntry(playList, arrow);
}
