// A song collected into one folder renders there byte for byte as it renders
// at home; a song missing files, or a folder already in use, gets nothing.
#include <gtest/gtest.h>

#include "app/RenderCommand.h"
#include "render/RenderProgress.h"
#include "support/SoundFiles.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;
using namespace sound_files;

std::vector<std::string> Tree(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.push_back(fs::relative(entry.path(), folder).string());
  std::sort(names.begin(), names.end());
  return names;
}

class CollectTest : public CommandHomeTest {
 protected:
  void SetUp() override {
    CommandHomeTest::SetUp();
    elsewhere_ = home_ / "elsewhere";
    fs::create_directories(elsewhere_ / "a");
    fs::create_directories(home_ / "b");
    // Two files named kick.wav with other sounds, a FLAC, and the tone a
    // pattern's slot line names.
    WriteSound(elsewhere_ / "a" / "kick.wav", kWav16, 44100, 1, Widen(Tone16(4000, 44100)));
    WriteSound(home_ / "b" / "kick.wav", kWav16, 22050, 2, Widen(Tone16(3000, 22050)));
    WriteSound(elsewhere_ / "hat.flac", kFlac16, 44100, 2, Widen(Tone16(5000, 48000)));
    WriteSound(elsewhere_ / "tone.wav", kWav16, 44100, 2, Widen(Tone16(2000, 44100)));
    Lines pans(17, "0");
    pans[3] = "-900";
    WriteTextLines(home_ / "Panning.dat", pans);

    std::vector<Row> rows(8, Row{});
    rows[0] = {"Kick      [ ]", "Sample1", "", "", "", ""};
    rows[2] = {"", "Sample2", "Snare     [2]", "", "", ""};
    rows[4] = {"", "Sample3", "", "Sample4", "", ""};
    WriteTextLines(home_ / "Slots.pat",
                   PatternLines("Slots", 55, 2, rows, {(elsewhere_ / "tone.wav").string()}));
    WriteTextLines(home_ / "Gig.sng",
                   SongLines({"Rock", "Slots", "Rock", "Funk"},
                             {{(elsewhere_ / "a" / "kick.wav").string(), 40000, -500},
                              {"b/kick.wav", 22050, 700},
                              {(elsewhere_ / "hat.flac").string(), 44100, 0},
                              {(elsewhere_ / "a" / "kick.wav").string(), 50000, 0}}));
  }
  SndFileDecoding decoding_;
  fs::path elsewhere_;
};

TEST_F(CollectTest, ACollectedSongRendersThereByteForByteAsAtHome) {
  ASSERT_EQ(RunKorvanto({"render", "Gig.sng", "home.wav"}).code, 0);
  const CommandRun run = RunKorvanto({"collect", "Gig.sng", "gig"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "Collected Gig.sng and 10 files it needs into gig\n");
  EXPECT_EQ(Tree(home_ / "gig"),
            (std::vector<std::string>{"Blank.wav", "Funk.pat", "Gig.sng", "Panning.dat", "Rock.pat",
                                      "Slots.pat", "hat.flac", "kick (2).wav", "kick.wav",
                                      "power.dxg", "temp", "tone.wav"}));
  // The slots name the copies; one file named in two slots is copied once.
  const Lines song = ReadTextLines(home_ / "gig" / "Gig.sng");
  EXPECT_EQ(song[5], "kick.wav");
  EXPECT_EQ(song[10], "kick (2).wav");
  EXPECT_EQ(song[15], "hat.flac");
  EXPECT_EQ(song[20], "kick.wav");
  EXPECT_EQ(song[25], "Blank.wav");
  EXPECT_EQ(ReadTextLines(home_ / "gig" / "Slots.pat").at(7 * 11 + 2), "tone.wav");
  EXPECT_EQ(ReadFileBytes(home_ / "gig" / "kick (2).wav"), ReadFileBytes(home_ / "b" / "kick.wav"));
  EXPECT_EQ(ReadFileBytes(home_ / "gig" / "Panning.dat"), ReadFileBytes(home_ / "Panning.dat"));

  // Moved elsewhere, with the samples' folders gone, it renders the same.
  fs::rename(home_ / "gig", home_ / "moved");
  fs::remove_all(elsewhere_);
  fs::remove_all(home_ / "b");
  {
    const CurrentDirScope there(home_ / "moved");
    const CommandRun render = RunKorvanto({"render", "Gig.sng", "there.wav"});
    ASSERT_EQ(render.code, 0) << render.err;
  }
  EXPECT_TRUE(ReadFileBytes(home_ / "moved" / "there.wav") == ReadFileBytes(home_ / "home.wav"));
}

TEST_F(CollectTest, MissingFilesAreListedTogetherAndNothingIsWritten) {
  fs::remove(elsewhere_ / "hat.flac");
  fs::remove(elsewhere_ / "tone.wav");
  Lines song = ReadTextLines(home_ / "Gig.sng");
  song.insert(song.begin(), "Nowhere");
  WriteTextLines(home_ / "Gig.sng", song);
  const CommandRun run = RunKorvanto({"collect", "Gig.sng", "new/gig"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: These files are missing, so nothing was collected:\n" +
                         (home_ / "Nowhere.pat").string() + "\n" +
                         (elsewhere_ / "tone.wav").string() + "\n" +
                         (elsewhere_ / "hat.flac").string() + "\n");
  EXPECT_FALSE(fs::exists(home_ / "new"));
}

TEST_F(CollectTest, AFolderInUseIsRefusedAndStopLeavesNothing) {
  fs::create_directories(home_ / "used");
  WriteTextLines(home_ / "used" / "notes.txt", {"mine"});
  CommandRun run = RunKorvanto({"collect", "Gig.sng", "used"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err,
            "korvanto: The folder used is not empty: collect a song into an empty folder\n");
  EXPECT_EQ(Tree(home_ / "used"), std::vector<std::string>{"notes.txt"});
  run = RunKorvanto({"collect", "Rock.pat", "pattern"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Not a song (.sng) file: Rock.pat\n");

  struct StopAfterTwoFiles : RenderProgress {
    int files = 0;
    void Adding(const std::string&) override { ++files; }
    bool Cancelled() override { return files > 2; }
  } progress;
  fs::create_directories(home_ / "empty");
  const auto result = CollectFromCommandLine(home_.path(), "Gig.sng", home_ / "empty", progress);
  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(fs::is_empty(home_ / "empty"));  // the folder chosen stays, empty
  const auto made = CollectFromCommandLine(home_.path(), "Gig.sng", home_ / "x" / "y", progress);
  EXPECT_TRUE(made.cancelled);
  EXPECT_FALSE(fs::exists(home_ / "x"));  // folders it made go again
}

}  // namespace
