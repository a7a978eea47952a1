#include <gtest/gtest.h>

#include "common/Exception.h"
#include "kit/WaveCollection.h"

namespace {

TWaveCollection& Named(TWaveCollection& kit, std::initializer_list<std::string> names) {
  for (const std::string& name : names) kit.Add().SetName(name);
  return kit;
}

}  // namespace

TEST(WaveCollection, NameHash) {
  EXPECT_EQ(TWaveCollection::NameHash(""), 0);
  EXPECT_EQ(TWaveCollection::NameHash("A"), 16);
  EXPECT_EQ(TWaveCollection::NameHash("Ab"), (32 + 'a' + 'a') % 256);
  EXPECT_EQ(TWaveCollection::NameHash("Kick      [ ]"), (13 * 16 + 'k' + ' ') % 256);
  EXPECT_EQ(TWaveCollection::NameHash("KICK      [ ]"), TWaveCollection::NameHash("kick      [ ]"));
}

TEST(WaveCollection, AddAppendsBlankEntries) {
  TWaveCollection kit;
  TWaveCollectionItem& first = kit.Add();
  TWaveCollectionItem& second = kit.Add();
  EXPECT_EQ(kit.Count(), 2);
  EXPECT_EQ(&kit[1], &second);
  EXPECT_EQ(first.Index(), 0);
  EXPECT_EQ(second.Index(), 1);
  EXPECT_EQ(second.Name(), "");
  EXPECT_EQ(second.Pan, 0);
  EXPECT_EQ(second.Volume, 0);
  EXPECT_EQ(second.Wave().Size(), 0);
  EXPECT_FALSE(second.Initialized);
  EXPECT_THROW(kit.Items(2), std::out_of_range);
  EXPECT_EQ(kit.IndexOfName(""), 1);  // entries start in the empty name's bucket, newest first
}

TEST(WaveCollection, LookUpIgnoresCaseAndFindsTheNameSetLast) {
  TWaveCollection kit;
  Named(kit, {"", "Kick      [ ]", "Snare     [ ]", "snare     [ ]", "\xC9toile"});
  EXPECT_EQ(kit.IndexOfName("KICK      [ ]"), 1);
  EXPECT_EQ(kit.IndexOfName("SNARE     [ ]"), 3);
  EXPECT_EQ(kit.IndexOfName("\xE9TOILE"), 4);  // Latin-1 letters fold too
  EXPECT_EQ(kit.IndexOfName("Kick"), -1);
  kit[2].SetName("Snare     [ ]");  // unchanged: stays behind the other
  EXPECT_EQ(kit.IndexOfName("snare     [ ]"), 3);
  kit[2].SetName("SNARE     [ ]");  // set again, differently spelled: found first
  EXPECT_EQ(kit.IndexOfName("snare     [ ]"), 2);
  EXPECT_EQ(&kit.Find("sNaRe     [ ]"), &kit[2]);
}

TEST(WaveCollection, RenamingRelinksAndSameBucketNamesStayApart) {
  TWaveCollection kit;
  // Same length, and first plus second-to-last codes alike: one bucket.
  Named(kit, {"xay", "axy", "Tom1"});
  ASSERT_EQ(TWaveCollection::NameHash("xay"), TWaveCollection::NameHash("axy"));
  EXPECT_EQ(kit.IndexOfName("xay"), 0);
  EXPECT_EQ(kit.IndexOfName("axy"), 1);
  kit[2].SetName("Tom2");
  EXPECT_EQ(kit.IndexOfName("Tom1"), -1);
  EXPECT_EQ(kit.IndexOfName("tom2"), 2);
  kit[0].SetName("Renamed");
  EXPECT_EQ(kit.IndexOfName("xay"), -1);
  EXPECT_EQ(kit.IndexOfName("axy"), 1);
  EXPECT_EQ(kit.IndexOfName("renamed"), 0);
}

TEST(WaveCollection, FindOfAnAbsentName) {
  TWaveCollection kit;
  Named(kit, {"a", "b"});
  try {
    kit.Find("x");
    FAIL();
  } catch (const EWaveCollectionError& e) {
    EXPECT_EQ(e.Message(), "Wave 'x' not found");
  }
}

TEST(WaveCollection, DeleteAndClearUnlink) {
  TWaveCollection kit;
  Named(kit, {"a", "b", "c", "d"});
  kit.Delete(1);
  EXPECT_EQ(kit.Count(), 3);
  EXPECT_EQ(kit.IndexOfName("b"), -1);
  EXPECT_EQ(kit.IndexOfName("c"), 1);
  EXPECT_EQ(kit.IndexOfName("d"), 2);
  EXPECT_EQ(kit[2].Index(), 2);
  kit.Clear();
  EXPECT_EQ(kit.Count(), 0);
  EXPECT_EQ(kit.IndexOfName("a"), -1);
  Named(kit, {"a"});
  EXPECT_EQ(kit.IndexOfName("A"), 0);
}

TEST(WaveCollection, TakingEntriesMovesTheIndexAlong) {
  TWaveCollection from, to;
  Named(from, {"one", "two"});
  Named(to, {"old"});
  to.TakeEntriesFrom(from);
  EXPECT_EQ(from.Count(), 0);
  EXPECT_EQ(from.IndexOfName("one"), -1);
  EXPECT_EQ(to.Count(), 2);
  EXPECT_EQ(to.IndexOfName("old"), -1);
  EXPECT_EQ(to.IndexOfName("TWO"), 1);
  to[0].SetName("uno");  // relinks inside its new collection
  EXPECT_EQ(to.IndexOfName("uno"), 0);
  EXPECT_EQ(&to[0].Collection(), &to);
}
