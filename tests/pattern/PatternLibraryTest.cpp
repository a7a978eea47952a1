#include "pattern/PatternLibrary.h"

#include <fstream>

#include "support/TempDir.h"
#include <gtest/gtest.h>

TEST(PatternLibrary, ListsPatternFilesSortedAfterBlank) {
  TempDir dir;
  for (const char* name : {"zeta.pat", "alpha.pat", "Beta.pat", "notes.txt", "x.pat.bak"})
    std::ofstream(dir / name) << "x";
  PatternLibrary library;
  library.LoadFromFolder(dir.path());
  EXPECT_EQ(library.Entries(), (std::vector<std::string>{"<Blank>", "alpha", "Beta", "zeta"}));
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
