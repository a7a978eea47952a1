#include <gtest/gtest.h>

#include "pattern/PatternLibrary.h"
#include "song/PlayList.h"
#include "song/PlayListEdit.h"
#include "song/UpDownArrows.h"

namespace {

PlayList ListOf(std::initializer_list<const char*> names) {
  PlayList list;
  for (const char* name : names) list.Append(name);
  return list;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(PlayListAdd, AppendsLibraryEntriesButNotBlank) {
  PatternLibrary library;
  library.Add("rock");
  PlayList list;
  EXPECT_FALSE(AddToPlayList(library, 0, list));
  EXPECT_FALSE(AddToPlayList(library, -1, list));
  EXPECT_FALSE(AddToPlayList(library, 2, list));
  EXPECT_TRUE(AddToPlayList(library, 1, list));
  EXPECT_TRUE(AddToPlayList(library, 1, list));
  EXPECT_EQ(list.Names(), (Names{"rock", "rock"}));
}

TEST(PlayListRemove, NameMissingFromTheLibraryGoesBackInSortedPlace) {
  PatternLibrary library;
  library.Add("alpha");
  library.Add("zulu");
  PlayList list = ListOf({"alpha", "Mambo", "alpha"});
  list.Select(1);
  EXPECT_TRUE(RemoveSelectedEntry(list, library));
  EXPECT_EQ(list.Names(), (Names{"alpha", "alpha"}));
  EXPECT_EQ(list.Selected(), PlayList::kNone);
  EXPECT_EQ(library.Entries(), (Names{"<Blank>", "alpha", "Mambo", "zulu"}));

  list.Select(0);
  EXPECT_TRUE(RemoveSelectedEntry(list, library));
  EXPECT_EQ(list.Names(), Names{"alpha"});
  EXPECT_EQ(library.Entries().size(), 4u);
  EXPECT_FALSE(RemoveSelectedEntry(list, library));  // nothing selected
}

TEST(PlayListRemove, SelectionFollowsItsEntry) {
  PlayList list = ListOf({"a", "b", "c", "d"});
  list.Select(2);
  list.RemoveAt(0);
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(list.Name(list.Selected()), "c");
  list.RemoveAt(2);
  EXPECT_EQ(list.Selected(), 1);
}

TEST(PlayListRemoveChecked, AdjacentCheckedEntriesAllGo) {
  PlayList list = ListOf({"a", "b", "c", "d", "e", "f"});
  for (int i : {0, 1, 3, 4}) list.SetChecked(i, true);
  EXPECT_EQ(list.RemoveChecked(), 4);
  EXPECT_EQ(list.Names(), (Names{"c", "f"}));
  EXPECT_FALSE(list.Checked(0));
}

TEST(PlayListArrows, DownDoesNothingRightAfterStartUpThenWorksOnceAfterAnUp) {
  UpDownArrows arrows;
  PlayList list = ListOf({"a", "b", "c"});
  list.Select(1);
  EXPECT_FALSE(PressPlayListArrow(arrows, list, Arrow::Down));
  EXPECT_EQ(list.Names(), (Names{"a", "b", "c"}));

  EXPECT_TRUE(PressPlayListArrow(arrows, list, Arrow::Up));
  EXPECT_EQ(list.Names(), (Names{"b", "a", "c"}));
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_TRUE(PressPlayListArrow(arrows, list, Arrow::Down));
  EXPECT_EQ(list.Names(), (Names{"a", "b", "c"}));
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_FALSE(PressPlayListArrow(arrows, list, Arrow::Down));
  EXPECT_EQ(arrows.Position(), 0);
}

TEST(PlayListArrows, ControlPositionStopsAtItsTop) {
  UpDownArrows arrows;
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(arrows.Press(Arrow::Up));
  EXPECT_FALSE(arrows.Press(Arrow::Up));
  EXPECT_EQ(arrows.Position(), 100);
  EXPECT_TRUE(arrows.Press(Arrow::Down));
}

TEST(PlayListMove, EndsAndNoSelectionDoNothingAndChecksTravel) {
  PlayList list = ListOf({"a", "b", "c"});
  EXPECT_FALSE(MoveSelectedEntry(list, Arrow::Up));
  list.Select(0);
  EXPECT_FALSE(MoveSelectedEntry(list, Arrow::Up));
  list.Select(2);
  EXPECT_FALSE(MoveSelectedEntry(list, Arrow::Down));
  list.SetChecked(2, true);
  EXPECT_TRUE(MoveSelectedEntry(list, Arrow::Up));
  EXPECT_EQ(list.Names(), (Names{"a", "c", "b"}));
  EXPECT_TRUE(list.Checked(1));
  EXPECT_FALSE(list.Checked(2));
  EXPECT_EQ(list.Selected(), 1);
}

TEST(PlayListClear, EmptiesAndTellsTheSongPlayer) {
  PlayList list = ListOf({"a", "b"});
  list.Select(1);
  int told = 0;
  ClearPlayList(list, [&] {
    EXPECT_EQ(list.Count(), 0);
    ++told;
  });
  EXPECT_EQ(told, 1);
  EXPECT_EQ(list.Selected(), PlayList::kNone);
}
