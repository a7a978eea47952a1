#include <gtest/gtest.h>

#include <fstream>

#include "pattern/PatternLibrary.h"
#include "pattern/PatternName.h"
#include "support/TempDir.h"

TEST(PatternLibrary, ListsPatternFilesSortedAfterBlank) {
  TempDir dir;
  for (const char* name : {"zeta.pat", "alpha.pat", "Beta.pat", "notes.txt", "x.pat.bak"})
    std::ofstream(dir / name) << "x";
  PatternLibrary library;
  library.LoadFromFolder(dir.path());
  EXPECT_EQ(library.Entries(), (std::vector<std::string>{"<Blank>", "alpha", "Beta", "zeta"}));
}

// Upper-case extensions are pattern files too, and a name finds its file.
TEST(PatternLibrary, PatternFilesOfAnyLetterCaseAreListedAndFound) {
  TempDir dir;
  for (const char* name : {"ROCK.PAT", "Jig.Pat", "low.pat", ".PAT", "song.sng"})
    std::ofstream(dir / name) << "x";
  PatternLibrary library;
  library.LoadFromFolder(dir.path());
  EXPECT_EQ(library.Entries(), (std::vector<std::string>{"<Blank>", "Jig", "low", "ROCK"}));
  EXPECT_EQ(PatternPathForReading(dir.path(), "ROCK"), dir / "ROCK.PAT");
  EXPECT_EQ(PatternPathForReading(dir.path(), "Jig"), dir / "Jig.Pat");
  EXPECT_EQ(PatternPathForReading(dir.path(), "low"), dir / "low.pat");
  EXPECT_EQ(PatternPathForWriting(dir.path(), "ROCK"), dir / "ROCK.PAT");
  EXPECT_EQ(PatternPathForWriting(dir.path(), "new"), dir / "new.pat");
}

TEST(PatternLibrary, EmptyFolderHoldsOnlyBlank) {
  TempDir dir;
  PatternLibrary library;
  library.LoadFromFolder(dir.path());
  EXPECT_EQ(library.Entries(), std::vector<std::string>{"<Blank>"});
}

TEST(PatternLibrary, AddKeepsOrderAndBlankFirst) {
  PatternLibrary library;
  library.Add("rock");
  library.Add("Ambient");
  library.Add("!intro");
  EXPECT_EQ(library.Add("house"), 3);
  EXPECT_EQ(library.Entries(),
            (std::vector<std::string>{"<Blank>", "!intro", "Ambient", "house", "rock"}));
  library.Remove("<Blank>");  // never removed
  library.Remove("house");
  EXPECT_EQ(library.Entries().front(), "<Blank>");
  EXPECT_FALSE(library.Contains("house"));
}
