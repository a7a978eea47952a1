#include <gtest/gtest.h>

#include "common/Exception.h"
#include "common/Files.h"
#include "support/TempDir.h"

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

// Every save goes through the same replacement; each row is one kind of file
// replaced, saved once with WriteTextLines.
TEST(Files, ASaveReplacesTheFileALinkLeadsToKeepingItsMode) {
  namespace fs = std::filesystem;
  struct Case {
    const char* what;
    bool absoluteLink;
    bool twoLinks;
    fs::perms mode;
  };
  const Case cases[] = {
      {"relative link, private file", false, false, fs::perms::owner_read | fs::perms::owner_write},
      {"absolute link, shared file", true, false, fs::perms(0664)},
      {"link to a link", false, true, fs::perms(0640)},
  };
  for (const Case& c : cases) {
    TempDir dir;
    fs::create_directory(dir / "real");
    WriteTextLines(dir / "real" / "song.sng", {"old"});
    fs::permissions(dir / "real" / "song.sng", c.mode);
    const fs::path target = c.absoluteLink ? dir / "real" / "song.sng" : "real/song.sng";
    fs::create_symlink(target, dir / (c.twoLinks ? "middle.sng" : "song.sng"));
    if (c.twoLinks) fs::create_symlink("middle.sng", dir / "song.sng");

    WriteTextLines(dir / "song.sng", {"new"});
    EXPECT_TRUE(fs::is_symlink(dir / "song.sng")) << c.what;
    EXPECT_EQ(ReadFileBytes(dir / "real" / "song.sng"), "new\r\n") << c.what;
    EXPECT_EQ(fs::status(dir / "real" / "song.sng").permissions(), c.mode) << c.what;
    EXPECT_FALSE(fs::exists(dir / "real" / "song.sng.part")) << c.what;
    EXPECT_FALSE(fs::exists(dir / "song.sng.part")) << c.what;
  }
}

TEST(Files, AReadOnlyFileIsNotReplaced) {
  namespace fs = std::filesystem;
  TempDir dir;
  WriteTextLines(dir / "Rock.pat", {"kept"});
  fs::permissions(dir / "Rock.pat", fs::perms(0444));
  fs::create_symlink("Rock.pat", dir / "link.pat");
  for (const char* name : {"Rock.pat", "link.pat"}) {
    try {
      WriteTextLines(dir / name, {"lost"});
      ADD_FAILURE() << name;
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message(), "Cannot replace the read-only file " + (dir / name).string());
    }
    EXPECT_EQ(ReadFileBytes(dir / "Rock.pat"), "kept\r\n") << name;
    EXPECT_FALSE(fs::exists(dir / "Rock.pat.part")) << name;
  }
}
