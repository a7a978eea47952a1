#include <gtest/gtest.h>

#include "app/WindowArrangement.h"

namespace {

constexpr int kTitle = 24;
// The frames of the start-up windows: Extra samples, the main window, the Kit List.
const StartWindows kFrames{{0, 0, 130, 480}, {0, 0, 600, 620}, {0, 0, 170, 470}};

bool Inside(const ScreenRect& frame, const ScreenRect& area) {
  return frame.x >= area.x && frame.y >= area.y && frame.Right() <= area.Right() &&
         frame.Bottom() <= area.Bottom();
}

// The title bar strip of a frame is covered by a frame that overlaps it.
bool CoversTitle(const ScreenRect& over, const ScreenRect& under) {
  return over.x < under.Right() && under.x < over.Right() && over.y < under.y + kTitle &&
         under.y < over.Bottom();
}

}  // namespace

TEST(WindowArrangement, SideBySideInsideTheAreaLeftToRight) {
  const ScreenRect area{0, 28, 1280, 772};  // a panel at the top
  const StartWindows placed = ArrangeStartWindows(area, kFrames, kTitle);
  for (const ScreenRect& frame : {placed.samples, placed.main, placed.kitList})
    EXPECT_TRUE(Inside(frame, area));
  EXPECT_EQ(placed.samples.x, 0);
  EXPECT_EQ(placed.samples.y, 28);
  EXPECT_EQ(placed.main.x, placed.samples.Right());
  EXPECT_EQ(placed.kitList.x, placed.main.Right());
  EXPECT_FALSE(CoversTitle(placed.main, placed.samples));
  EXPECT_FALSE(CoversTitle(placed.kitList, placed.main));
}

// A narrow screen: the windows overlap but every frame stays on it and the
// main window's title bar stays free for the user to grab.
TEST(WindowArrangement, ANarrowScreenOverlapsThemWithoutHidingATitleBar) {
  for (const ScreenRect area : {ScreenRect{0, 0, 800, 700}, ScreenRect{100, 0, 640, 680}}) {
    const StartWindows placed = ArrangeStartWindows(area, kFrames, kTitle);
    for (const ScreenRect& frame : {placed.samples, placed.main, placed.kitList})
      EXPECT_TRUE(Inside(frame, area)) << area.width;
    EXPECT_FALSE(CoversTitle(placed.kitList, placed.main)) << area.width;
    EXPECT_FALSE(CoversTitle(placed.main, placed.samples)) << area.width;
    EXPECT_EQ(placed.kitList.Right(), area.Right());
  }
}

TEST(WindowArrangement, AFrameTallerThanTheAreaKeepsItsTitleBarOnScreen) {
  const ScreenRect area{0, 30, 1024, 500};
  const StartWindows placed = ArrangeStartWindows(area, kFrames, kTitle);
  EXPECT_EQ(placed.main.y, 30);
  EXPECT_GE(placed.kitList.y, 30);
}
