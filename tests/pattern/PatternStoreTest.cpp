#include "support/ErrorText.h"
#include <gtest/gtest.h>

#include <fstream>

#include "common/Exception.h"
#include "pattern/CoreState.h"
#include "pattern/PatternStore.h"

namespace {


int FilesIn(const std::filesystem::path& dir) {
  int count = 0;
  for (auto it = std::filesystem::recursive_directory_iterator(dir);
       it != std::filesystem::recursive_directory_iterator(); ++it)
    ++count;
  return count;
}

std::vector<std::string> Names(const PlayList& list) {
  return list.Names();
}

}  // namespace

TEST(PatternSave, DrumsIsWrittenLineByLine) {
  CoreState s;
  s.grid.WriteNewPattern(16, 4);
  s.grid.SetCell(0, 0, "drums");
  s.grid.SetCell(1, 2, "Kick      [3]");
  ASSERT_TRUE(SavePattern(s.core, {64, 2}));

  const std::string bytes = ReadFileBytes(s.Pat("drums"));
  const Lines lines = SplitLines(bytes);
  ASSERT_EQ(lines.size(), 199u);
  // Every line ends in CR LF, the last one too.
  EXPECT_EQ(bytes.size(), [&] {
    size_t total = 0;
    for (const auto& line : lines) total += line.size() + 2;
    return total;
  }());
  EXPECT_TRUE(bytes.ends_with("\r\n"));
  const Lines head(lines.begin(), lines.begin() + 16);
  EXPECT_EQ(head,
            (Lines{"drums", "Length:", "16", "Time:", "4", "", "", "", "Channel:1", "Channel:2",
                   "Channel:3", "Channel:4", "Channel:5", "Channel:6", "1:0*", "Kick      [3]"}));
  EXPECT_EQ(lines[133], "64");
  EXPECT_EQ(lines[134], "2");
  EXPECT_EQ(lines[135], "Blank.wav");
  EXPECT_EQ(lines[136], "22050");
  EXPECT_EQ(Names(s.playList), std::vector<std::string>{"drums"});
  EXPECT_TRUE(s.library.Contains("drums"));
}

TEST(PatternSave, SavingTwiceListsOnceAndReplacesTheFile) {
  CoreState s;
  s.grid.WriteNewPattern(16, 4);
  s.grid.SetCell(0, 0, "drums");
  SavePattern(s.core, {60, 1});
  s.grid.SetCell(2, 5, "Snare     [ ]");
  SavePattern(s.core, {60, 1});
  EXPECT_EQ(Names(s.playList), std::vector<std::string>{"drums"});
  EXPECT_EQ(s.library.Entries(), (std::vector<std::string>{"<Blank>", "drums"}));
  EXPECT_EQ(ReadTextLines(s.Pat("drums"))[7 * 5 + 2], "Snare     [ ]");
}

TEST(PatternSave, NameInTheLibraryOnlyGoesToThePlayList) {
  CoreState s;
  s.library.Add("beat");
  s.library.Add("zz");
  s.playList.Append("other");
  s.grid.SetCell(0, 0, "beat");
  SavePattern(s.core, {60, 1});
  EXPECT_EQ(Names(s.playList), (std::vector<std::string>{"other", "beat"}));
  EXPECT_EQ(s.library.Entries(), (std::vector<std::string>{"<Blank>", "beat", "zz"}));
}

TEST(PatternSave, EmptyNameAsksAndWritesNothing) {
  CoreState s;
  EXPECT_FALSE(SavePattern(s.core, {60, 1}));
  ASSERT_EQ(s.prompts.messages.size(), 1u);
  EXPECT_EQ(s.prompts.messages[0].text, "Name of pattern?");
  EXPECT_EQ(s.prompts.messages[0].caption, "NAME");
  EXPECT_EQ(s.prompts.messages[0].buttons, PromptButtons::Ok);
  EXPECT_EQ(FilesIn(s.dir.path()), 0);
  EXPECT_EQ(s.playList.Count(), 0);
}

TEST(PatternSave, RefusedSavesWriteAndListNothing) {
  struct Case {
    std::string name, length;
    std::string conversion;  // empty: the name is refused as a file name
  };
  const std::vector<Case> cases = {
      {"drums", "sixteen", "'sixteen' is not a valid integer value"},
      {"", "1 6", "'1 6' is not a valid integer value"},  // the length before the name
      {"../up", "16", ""},
      {"a\\b", "16", ""},
      {".", "16", ""},
      {"..", "16", ""},
  };
  for (const auto& c : cases) {
    CoreState s;
    s.grid.WriteNewPattern(16, 4);
    s.grid.SetCell(0, 0, c.name);
    s.grid.SetCell(2, 0, c.length);
    const std::string expected =
        c.conversion.empty() ? "Cannot create file " + s.Pat(c.name).string() : c.conversion;
    EXPECT_EQ(Message([&] { SavePattern(s.core, {60, 1}); }), expected);
    EXPECT_EQ(FilesIn(s.dir.path()), 0) << c.name;
    EXPECT_FALSE(std::filesystem::exists(s.dir.path().parent_path() / "up.pat"));
    EXPECT_EQ(s.playList.Count(), 0);
    EXPECT_EQ(s.library.Entries().size(), 1u);
  }
}

TEST(PatternSave, FailedWriteKeepsTheOldFileAndTheLists) {
  CoreState s;
  s.grid.WriteNewPattern(16, 4);
  s.grid.SetCell(0, 0, "drums");
  std::filesystem::create_directory(s.dir / "drums.pat");  // can't be replaced by a file
  EXPECT_EQ(Message([&] {
              SavePattern(s.core, {60, 1});
            }),
            "Cannot create file " + s.Pat("drums").string());
  EXPECT_TRUE(std::filesystem::is_directory(s.Pat("drums")));
  EXPECT_EQ(s.playList.Count(), 0);
  EXPECT_FALSE(s.library.Contains("drums"));
}

TEST(PatternDelete, RemovesFileLibraryEntryAndEveryPlayListEntry) {
  CoreState s;
  s.grid.WriteNewPattern(16, 4);
  s.grid.SetCell(0, 0, "drums");
  SavePattern(s.core, {60, 1});
  s.library.Add("keep");
  for (const char* name : {"drums", "keep", "drums"}) s.playList.Append(name);
  s.prompts.answers = {PromptAnswer::Ok};

  EXPECT_TRUE(DeletePattern(s.core, s.library.IndexOf("drums")));
  ASSERT_EQ(s.prompts.messages.size(), 1u);
  EXPECT_EQ(s.prompts.messages[0].text,
            "This will delete this pattern from both Pattern Lib and Play List, Some Songs that "
            "contain this pattern may not play, are you sure?");
  EXPECT_EQ(s.prompts.messages[0].caption, "!Are you sure you wish to delete?");
  EXPECT_EQ(s.prompts.messages[0].buttons, PromptButtons::OkCancel);
  EXPECT_FALSE(std::filesystem::exists(s.Pat("drums")));
  EXPECT_EQ(Names(s.playList), std::vector<std::string>{"keep"});
  EXPECT_EQ(s.library.Entries(), (std::vector<std::string>{"<Blank>", "keep"}));
}

TEST(PatternDelete, CancelBlankOrNoSelectionChangeNothing) {
  CoreState s;
  s.library.Add("drums");
  std::ofstream(s.Pat("drums")) << "x";
  s.playList.Append("drums");
  EXPECT_FALSE(DeletePattern(s.core, 0));
  EXPECT_FALSE(DeletePattern(s.core, -1));
  EXPECT_TRUE(s.prompts.messages.empty());
  EXPECT_FALSE(DeletePattern(s.core, 1));  // the scripted answer is Cancel
  EXPECT_EQ(s.prompts.messages.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(s.Pat("drums")));
  EXPECT_EQ(s.playList.Count(), 1);
  EXPECT_TRUE(s.library.Contains("drums"));
}

TEST(PatternDelete, NameThatIsNoFileNameDeletesNoFile) {
  CoreState s;
  std::filesystem::create_directory(s.dir / "sub");
  std::ofstream(s.dir / "sub" / "x.pat") << "x";
  s.library.Add("sub/x");
  s.prompts.answers = {PromptAnswer::Ok};
  EXPECT_TRUE(DeletePattern(s.core, 1));
  EXPECT_TRUE(std::filesystem::exists(s.dir / "sub" / "x.pat"));
  EXPECT_FALSE(s.library.Contains("sub/x"));
}
