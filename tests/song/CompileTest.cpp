#include <gtest/gtest.h>

#include "common/Exception.h"
#include "pattern/CoreState.h"
#include "song/Compile.h"
#include "song/EntryLoad.h"
#include "support/ErrorText.h"

namespace {

// A and B as in the play list of a song: A 16 steps twice, B 8 steps once.
void WriteAAndB(CoreState& s) {
  s.WritePattern(CoreState::Tagged("A", 16, "a"), {50, 2});
  s.WritePattern(CoreState::Tagged("B", 8, "b"), {90, 1});
}

}  // namespace

TEST(Compile, PatternsExpandedByTheirLoops) {
  CoreState s;
  WriteAAndB(s);
  s.playList.Append("A");
  s.playList.Append("B");
  Lines sequence;
  const auto last = CompilePlaySequence(s.dir.path(), s.playList, sequence);

  ASSERT_EQ(sequence.size(), 245u);
  EXPECT_EQ(sequence[0], "//");
  EXPECT_EQ(sequence[1], "50");
  EXPECT_EQ(sequence[2], "a-1-1");
  EXPECT_EQ(sequence[7], "a-1-6");
  EXPECT_EQ(sequence[2 + 95], "a-16-6");
  EXPECT_EQ(sequence[2 + 96], "a-1-1");  // second loop
  EXPECT_EQ(sequence[194], "//");
  EXPECT_EQ(sequence[195], "90");
  EXPECT_EQ(sequence[196], "b-1-1");
  EXPECT_EQ(sequence[243], "b-8-6");
  EXPECT_EQ(sequence[244], "%%%");
  ASSERT_TRUE(last);
  EXPECT_EQ(*last, (PatternValues{90, 1}));
}

TEST(Compile, FromTheSecondOfThreeSelectsTheFirst) {
  CoreState s;
  WriteAAndB(s);
  for (const char* name : {"A", "B", "A"}) s.playList.Append(name);
  s.playList.Select(1);
  Lines sequence{"left over"};
  CompilePlaySequence(s.dir.path(), s.playList, sequence);
  EXPECT_EQ(sequence.size(), 1 + 50 + 194 + 1u);  // appended to what was there
  EXPECT_EQ(sequence[1], "//");
  EXPECT_EQ(sequence[2], "90");
  EXPECT_EQ(s.playList.Selected(), 0);
}

TEST(Compile, EmptyListGivesTheEndAlone) {
  CoreState s;
  Lines sequence;
  EXPECT_FALSE(CompilePlaySequence(s.dir.path(), s.playList, sequence));
  EXPECT_EQ(sequence, Lines{"%%%"});
}

TEST(Compile, UnreadablePatternChangesNothing) {
  CoreState s;
  WriteAAndB(s);
  WriteTextLines(s.Pat("bad"), {"bad", "Length:", "4", "Time:", "4"});
  struct Case {
    const char* name;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"gone", "Cannot open file " + s.Pat("gone").string()},
      {"bad", "bad.pat, line 50: '' is not a valid integer value"},
      {"../A", "Cannot open file " + s.Pat("../A").string()},
      {"..", "Cannot open file " + s.Pat("..").string()},
  };
  for (const auto& c : cases) {
    s.playList.Clear();
    for (const char* name : {"A", "B", c.name, "A"}) s.playList.Append(name);
    s.playList.Select(1);
    Lines sequence{"kept"};
    EXPECT_EQ(Message([&] { CompilePlaySequence(s.dir.path(), s.playList, sequence); }), c.message);
    EXPECT_EQ(sequence, Lines{"kept"});
    EXPECT_EQ(s.playList.Selected(), 1);
  }
}

TEST(Compile, LoopCountBeyondMemoryIsRefused) {
  CoreState s;
  s.WritePattern(CoreState::Tagged("long", 64, "l"), {60, 2000000000});
  s.playList.Append("long");
  Lines sequence;
  EXPECT_EQ(Message([&] { CompilePlaySequence(s.dir.path(), s.playList, sequence); }),
            "Out of memory");
  EXPECT_TRUE(sequence.empty());
}

TEST(EntryLoad, SelectedEntryLoadsIntoTheEditor) {
  CoreState s;
  WriteAAndB(s);
  for (const char* name : {"A", "B", "<Blank>", ""}) s.playList.Append(name);
  EXPECT_FALSE(LoadSelectedEntry(s.core));  // nothing selected
  s.playList.Select(2);
  EXPECT_FALSE(LoadSelectedEntry(s.core));
  s.playList.Select(3);
  EXPECT_FALSE(LoadSelectedEntry(s.core));
  EXPECT_EQ(s.grid.Cell(0, 0), "");

  s.playList.Select(1);
  const auto load = LoadSelectedEntry(s.core);
  ASSERT_TRUE(load);
  EXPECT_EQ(load->values, (PatternValues{90, 1}));
  EXPECT_EQ(s.grid.RowCount(), 10);
  EXPECT_EQ(s.grid.Cell(0, 0), "B");
}

TEST(EntryLoad, NameThatLeavesTheHomeFolderCannotBeOpened) {
  CoreState s;
  std::filesystem::create_directory(s.dir / "sub");
  s.WritePattern(CoreState::Tagged("x", 4, "x"), {60, 1});
  std::filesystem::rename(s.Pat("x"), s.dir / "sub" / "x.pat");
  for (const char* name : {"sub/x", "sub\\x", ".", ".."}) {
    s.playList.Clear();
    s.playList.Append(name);
    s.playList.Select(0);
    EXPECT_EQ(Message([&] { LoadSelectedEntry(s.core); }),
              "Cannot open file " + s.Pat(name).string());
    EXPECT_EQ(s.grid.Cell(0, 0), "");
  }
}
