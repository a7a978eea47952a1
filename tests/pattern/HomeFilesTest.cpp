#include <gtest/gtest.h>

#include <fstream>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/PanningTable.h"
#include "pattern/HomeFiles.h"
#include "support/TempDir.h"

TEST(SampleWorkFiles, BecomeCopiesOfBlankWhateverTheyHeld) {
  TempDir home;
  std::filesystem::create_directory(home / "temp");
  std::ofstream(home / "Blank.wav") << "BLANK";
  std::ofstream(home / "temp" / "sample3.wav") << "old sound";
  ResetSampleWorkFiles(home.path());
  for (int slot = 1; slot <= 32; ++slot)
    EXPECT_EQ(ReadFileBytes(SampleWorkFile(home.path(), slot)), "BLANK") << slot;
}

TEST(SampleWorkFiles, AMissingTempFolderIsMade) {
  TempDir home;
  std::ofstream(home / "Blank.wav") << "BLANK";
  ResetSampleWorkFiles(home.path());
  EXPECT_EQ(ReadFileBytes(SampleWorkFile(home.path(), 32)), "BLANK");
}

TEST(SampleWorkFiles, MissingBlankOrUnwritableTempIsNoError) {
  TempDir home;
  std::ofstream(home / "temp") << "a file where the folder should be";
  EXPECT_NO_THROW(ResetSampleWorkFiles(home.path()));
  std::filesystem::remove(home / "temp");
  std::filesystem::create_directory(home / "temp");
  std::ofstream(home / "temp" / "sample1.wav") << "old";
  ResetSampleWorkFiles(home.path());  // without Blank.wav the old files are gone, none made
  EXPECT_FALSE(std::filesystem::exists(SampleWorkFile(home.path(), 1)));
}

TEST(PanningTableFile, ReadsGoodLinesAndReportsBadOnes) {
  TempDir home;
  WriteTextLines(home / "Panning.dat", {"0", "100", "x", "300", "", "-2000", "6", "7", "8", "9",
                                        "10", "11", "12", "13", "14", "15", "16"});
  PanningTable table;
  table.Read(home / "Panning.dat");
  EXPECT_EQ(table.Value(1), 100);
  EXPECT_EQ(table.Value(2), std::nullopt);
  EXPECT_EQ(table.Value(5), -2000);
  EXPECT_EQ(table.Value(16), 16);
  EXPECT_EQ(table.Problem(), "Panning.dat, line 3: 'x' is not a valid integer value (and 1 more)");
}

TEST(PanningTableFile, ShortTableReportsMissingLinesAndMissingFileRaises) {
  TempDir home;
  WriteTextLines(home / "Panning.dat", {"0", "5"});
  PanningTable table;
  table.Read(home / "Panning.dat");
  EXPECT_EQ(table.Value(1), 5);
  EXPECT_EQ(table.Problem(),
            "Panning.dat has 2 of its 17 lines; the instruments without a good "
            "line keep a pan of 0.");
  WriteTextLines(home / "Panning.dat", Lines(17, "0"));
  table.Read(home / "Panning.dat");
  EXPECT_EQ(table.Problem(), std::nullopt);
  EXPECT_THROW(table.Read(home / "none.dat"), EFOpenError);
}

TEST(PanningTableFile, WritesSeventeenLines) {
  TempDir home;
  PanningTable::Write(home / "Panning.dat", std::vector<int>(17, -5));
  EXPECT_EQ(ReadTextLines(home / "Panning.dat"), Lines(17, "-5"));
}
