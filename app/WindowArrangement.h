#pragma once
// Where the windows a user sees at start stand: the Extra samples window at
// the left of the screen's free area, the main window beside it and the Kit
// List right of that, every frame (title bar included) inside the area. A
// screen too narrow for all three makes them overlap, never leave it, and a
// window that overlaps its left neighbour stands one title bar lower, so no
// title bar is covered.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
  bool operator==(const ScreenRect&) const = default;
};

struct StartWindows {
  ScreenRect samples, main, kitList;  // frames
};

// Takes the frames' sizes (their x and y are ignored), the height of a title
// bar and the available area; returns the frames placed.
StartWindows ArrangeStartWindows(const ScreenRect& available, const StartWindows& frames,
                                 int titleBar);
