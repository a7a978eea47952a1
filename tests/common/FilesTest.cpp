#include "common/Exception.h"
#include "common/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(Files, WritesTextLinesWithCrLfAndReadsThemBack) {
  TempDir dir;
  WriteTextLines(dir / "a.txt", {"one", "", "three"});
  EXPECT_EQ(ReadFileBytes(dir / "a.txt"), "one\r\n\r\nthree\r\n");
  EXPECT_EQ(ReadTextLines(dir / "a.txt"), (Lines{"one", "", "three"}));
}

TEST(Files, MissingFileGivesTheOpenError) {
  TempDir dir;
  const auto path = dir / "none.pat";
  try {
    ReadFileBytes(path);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + path.string());
  }
}

TEST(Files, FailedSaveLeavesTheOldFileAlone) {
  TempDir dir;
  const auto path = dir / "keep.txt";
  WriteTextLines(path, {"old"});
  std::filesystem::create_directory(dir / "keep.txt.part");  // the new content can't be written
  EXPECT_THROW(WriteTextLines(path, {"new"}), EFCreateError);
  EXPECT_EQ(ReadFileBytes(path), "old\r\n");
}

TEST(Files, SaveIntoMissingFolderGivesTheCreateError) {
  TempDir dir;
  const auto path = dir / "no" / "such.pat";
  try {
    WriteTextLines(path, {"x"});
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + path.string());
  }
}

TEST(Files, FoldersAndDevicesAreNotOpened) {
  TempDir dir;
  EXPECT_THROW(ReadFileBytes(dir.path()), EFOpenError);
  EXPECT_THROW(ReadFileBytes("/dev/zero"), EFOpenError);
}
