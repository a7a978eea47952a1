#include "app/WindowArrangement.h"

#include <algorithm>

namespace {

// Keeps a frame inside the area; one larger than the area keeps its top
// left corner (and so its title bar) on screen.
void KeepInside(ScreenRect& frame, const ScreenRect& area) {
  frame.x = std::max(area.x, std::min(frame.x, area.Right() - frame.width));
  frame.y = std::max(area.y, std::min(frame.y, area.Bottom() - frame.height));
}

}  // namespace

StartWindows ArrangeStartWindows(const ScreenRect& available, const StartWindows& frames,
                                 int titleBar) {
  StartWindows placed = frames;
  ScreenRect* order[] = {&placed.samples, &placed.main, &placed.kitList};
  int x = available.x;
  const ScreenRect* left = nullptr;
  for (ScreenRect* frame : order) {
    frame->x = x;
    frame->y = available.y;
    KeepInside(*frame, available);
    if (left && frame->x < left->Right()) {
      frame->y = left->y + titleBar;
      KeepInside(*frame, available);
    }
    x = frame->Right();
    left = frame;
  }
  return placed;
}
