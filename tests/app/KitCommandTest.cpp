// Kits at the command line: listing, extracting, building, and their errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "common/Files.h"
#include "kit/BlankWave.h"
#include "kit/KitExchange.h"
#include "kit/WaveCollection.h"
#include "support/CommandRun.h"
#include "support/SoundFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

CommandRun Korvanto(const std::vector<std::string>& args) {
  const CommandRun run = RunKorvanto(args);
  EXPECT_TRUE(run.handled);
  return run;
}

Lines OutputLines(const std::string& text) {
  return SplitLines(text);
}

std::vector<std::string> SortedFiles(const fs::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

class KitCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    kitFile_ = dir_ / "power.dxg";
    fs::copy_file(fs::path(KORVANTO_TEST_BUILD_DIR) / "kit" / "power.dxg", kitFile_);
    defaultKit_.LoadFromFile(kitFile_);
  }
  TempDir dir_;
  fs::path kitFile_;
  TWaveCollection defaultKit_;
  SndFileDecoding decoding_;
};

}  // namespace

TEST_F(KitCommand, ListShowsEveryEntryWithItsFormatAndLength) {
  const CommandRun run = Korvanto({"kit", "list", kitFile_.string()});
  ASSERT_EQ(run.code, 0) << run.err;
  const Lines lines = OutputLines(run.out);
  ASSERT_EQ(lines.size(), 1u + defaultKit_.Count());
  EXPECT_EQ(lines[0], "Entry  Name            Rate  Bits  Channels  Seconds");
  // Entry 0 is the blank: unnamed, a tenth of a second.
  EXPECT_EQ(lines[1], "    0                 44100    16         1    0.100");
  for (int i = 1; i < defaultKit_.Count(); ++i) {
    const Wave::TWave& wave = defaultKit_[i].Wave();
    char expected[128];
    std::snprintf(expected, sizeof expected, "%5d  %s  44100    16         1 %8.3f", i,
                  defaultKit_[i].Name().c_str(), wave.Size() / (2 * 44100.0));
    EXPECT_EQ(lines[i + 1], expected);
  }
}

TEST_F(KitCommand, ExtractedAndBuiltAgainAKitHoldsTheSameSoundsAndNames) {
  const CommandRun extract =
      Korvanto({"kit", "extract", kitFile_.string(), (dir_ / "sounds").string()});
  ASSERT_EQ(extract.code, 0) << extract.err;
  const std::vector<std::string> files = SortedFiles(dir_ / "sounds");
  ASSERT_EQ(files.size(), 16u);
  EXPECT_EQ(fs::path(files[0]).filename(), "01 Kick.wav");
  EXPECT_EQ(fs::path(files[1]).filename(), "02 Short Kick.wav");
  EXPECT_EQ(OutputLines(extract.out).size(), 16u);

  std::vector<std::string> build{"kit", "build", (dir_ / "again.dxg").string()};
  build.insert(build.end(), files.begin(), files.end());
  const CommandRun run = Korvanto(build);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "Built " + (dir_ / "again.dxg").string() + ": 16 instruments\n");

  TWaveCollection again;
  again.LoadFromFile(dir_ / "again.dxg");
  ASSERT_EQ(again.Count(), defaultKit_.Count());
  for (int i = 0; i < again.Count(); ++i) {
    EXPECT_EQ(again[i].Name(), defaultKit_[i].Name()) << i;
    EXPECT_EQ(again[i].Wave().Image(), defaultKit_[i].Wave().Image()) << i;
  }
  // The kit maker's blank: unnamed and silent.
  EXPECT_EQ(again[0].Wave().Image(), BlankWave().Image());
  // Built from the same files, the same bytes.
  EXPECT_EQ(ReadFileBytes(dir_ / "again.dxg"), ReadFileBytes(kitFile_));
}

TEST_F(KitCommand, BuildNamesInstrumentsAsTheKitMakerDoes) {
  using namespace sound_files;
  const std::vector<int16_t> tone = Tone16(4410, 44100);
  WriteSound(dir_ / "tone.wav", kWav16, 44100, 2, Widen(tone));
  WriteSound(dir_ / "07 tone.flac", kFlac16, 44100, 2, Widen(tone));
  WriteSound(dir_ / "a much longer name.wav", kWav16, 44100, 2, Widen(tone));
  const CommandRun run = Korvanto(
      {"kit", "build", (dir_ / "mine.dxg").string(), "Clap=" + (dir_ / "tone.wav").string(),
       (dir_ / "07 tone.flac").string(), (dir_ / "a much longer name.wav").string(),
       "Exactly10!=" + (dir_ / "tone.wav").string()});
  ASSERT_EQ(run.code, 0) << run.err;
  TWaveCollection kit;
  kit.LoadFromFile(dir_ / "mine.dxg");
  ASSERT_EQ(kit.Count(), 5);
  EXPECT_EQ(kit[0].Name(), "");
  EXPECT_EQ(kit[1].Name(), "Clap      [ ]");
  EXPECT_EQ(kit[2].Name(), "tone      [ ]");
  EXPECT_EQ(kit[3].Name(), "a much lon[ ]");
  EXPECT_EQ(kit[4].Name(), "Exactly10![ ]");
  // The FLAC went in decoded, as 16-bit PCM: the WAV's sound.
  const Wave::TWave& wav = kit[1].Wave();
  const Wave::TWave& flac = kit[2].Wave();
  EXPECT_EQ(flac.BitsPerSample(), 16);
  EXPECT_EQ(flac.SamplesPerSec(), 44100u);
  EXPECT_EQ(flac.Channels(), 2);
  ASSERT_EQ(flac.Size(), wav.Size());
  EXPECT_TRUE(std::equal(flac.Data(), flac.Data() + flac.Size(), wav.Data()));
}

TEST_F(KitCommand, ExtractedFileNamesAreNumberedAndSafe) {
  EXPECT_EQ(ExtractedFileName(1, 17, "Kick      [ ]"), "01 Kick.wav");
  EXPECT_EQ(ExtractedFileName(16, 17, "Tamb      [ ]"), "16 Tamb.wav");
  EXPECT_EQ(ExtractedFileName(7, 120, "Kick      [ ]"), "007 Kick.wav");
  EXPECT_EQ(ExtractedFileName(2, 17, "A/B\tC     [ ]"), "02 A_B_C.wav");
  EXPECT_EQ(ExtractedFileName(3, 17, "Caf\xe9      [ ]"), "03 Caf\xc3\xa9.wav");
  EXPECT_EQ(ExtractedFileName(4, 17, "Plain name"), "04 Plain name.wav");
  EXPECT_EQ(ParseKitSource("03 Caf\xc3\xa9.wav").name, "Caf\xe9");
  EXPECT_EQ(ParseKitSource("808.wav").name, "808");
  EXPECT_EQ(ParseKitSource("Hat=x=y.wav").file, "x=y.wav");
}

TEST_F(KitCommand, ABrokenKitIsReportedWithItsNameAndExitCodeOne) {
  std::ofstream(dir_ / "broken.dxg", std::ios::binary) << "not a kit at all";
  CommandRun run = Korvanto({"kit", "list", (dir_ / "broken.dxg").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: " + (dir_ / "broken.dxg").string() + ": Invalid stream format\n");
  EXPECT_EQ(run.out, "");

  const std::string whole = ReadFileBytes(kitFile_);
  std::ofstream(dir_ / "short.dxg", std::ios::binary) << whole.substr(0, whole.size() / 2);
  run = Korvanto({"kit", "extract", (dir_ / "short.dxg").string(), (dir_ / "out").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: " + (dir_ / "short.dxg").string() + ": Stream read error\n");
  EXPECT_FALSE(fs::exists(dir_ / "out"));

  run = Korvanto({"kit", "list", (dir_ / "absent.dxg").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Cannot open file " + (dir_ / "absent.dxg").string() + "\n");
}

TEST_F(KitCommand, AFailedBuildLeavesTheKitFileAsItWas) {
  std::ofstream(dir_ / "noise.wav", std::ios::binary) << "RIFF but not really";
  const std::string before = ReadFileBytes(kitFile_);
  for (const std::vector<std::string>& sources :
       {std::vector<std::string>{(dir_ / "absent.wav").string()},
        {(dir_ / "noise.wav").string()},
        {"ElevenChars=" + (dir_ / "noise.wav").string()}}) {
    std::vector<std::string> args{"kit", "build", kitFile_.string()};
    args.insert(args.end(), sources.begin(), sources.end());
    const CommandRun run = Korvanto(args);
    EXPECT_EQ(run.code, 1) << sources[0];
    EXPECT_EQ(run.err.rfind("korvanto: ", 0), 0u) << run.err;
    EXPECT_EQ(ReadFileBytes(kitFile_), before);
    EXPECT_FALSE(fs::exists(kitFile_.string() + ".part"));
  }
  EXPECT_NE(Korvanto({"kit", "build", kitFile_.string(), "ElevenChars=x.wav"})
                .err.find("'ElevenChars' is longer than 10 characters"),
            std::string::npos);
  EXPECT_NE(Korvanto({"kit", "build", kitFile_.string(), (dir_ / "noise.wav").string()})
                .err.find("noise.wav"),
            std::string::npos);
}

TEST_F(KitCommand, WrongArgumentsShowTheUsage) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"kit"},
                                               {"kit", "list"},
                                               {"kit", "list", "a", "b"},
                                               {"kit", "extract", "a"},
                                               {"kit", "build", "a.dxg"},
                                               {"kit", "melt", "a"}}) {
    const CommandRun run = Korvanto(args);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("korvanto kit build KIT.dxg [NAME=]FILE..."), std::string::npos);
  }
}

TEST_F(KitCommand, ExtractReplacesNoFileUnlessToldTo) {
  const fs::path sounds = dir_ / "sounds";
  fs::create_directories(sounds);
  WriteFileAtomically(sounds / "02 Short Kick.wav", "my own short kick");
  WriteFileAtomically(sounds / "16 Tamb.wav", "my own tambourine");
  WriteFileAtomically(sounds / "notes.txt", "not the kit's");
  CommandRun run = Korvanto({"kit", "extract", kitFile_.string(), sounds.string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: These files exist already (--overwrite replaces them):\n  " +
                         (sounds / "02 Short Kick.wav").string() + "\n  " +
                         (sounds / "16 Tamb.wav").string() + "\n");
  EXPECT_EQ(SortedFiles(sounds).size(), 3u);  // nothing written
  EXPECT_EQ(ReadFileBytes(sounds / "02 Short Kick.wav"), "my own short kick");

  run = Korvanto({"kit", "extract", kitFile_.string(), sounds.string(), "--overwrite"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(SortedFiles(sounds).size(), 17u);
  EXPECT_EQ(ReadFileBytes(sounds / "02 Short Kick.wav"), defaultKit_[2].Wave().Image());
  EXPECT_EQ(ReadFileBytes(sounds / "notes.txt"), "not the kit's");
}

TEST_F(KitCommand, BuildRefusesTwoInstrumentsOfOneName) {
  using namespace sound_files;
  WriteSound(dir_ / "kick.wav", kWav16, 44100, 1, Widen(Tone16(441, 44100)));
  WriteSound(dir_ / "02 Kick.wav", kWav16, 44100, 1, Widen(Tone16(441, 44100)));
  const std::string kick = (dir_ / "kick.wav").string();
  const struct {
    std::vector<std::string> sources;
    std::string named;
  } cases[] = {
      {{kick, (dir_ / "02 Kick.wav").string()}, "'kick'"},
      {{"Snare=" + kick, "SNARE=" + kick}, "'Snare'"},
      {{"Hat=" + kick, "Clap=" + kick, "Clap=" + kick, "hat=" + kick, "Clap=" + kick},
       "'Hat', 'Clap'"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"kit", "build", (dir_ / "twice.dxg").string()};
    args.insert(args.end(), c.sources.begin(), c.sources.end());
    const CommandRun run = Korvanto(args);
    EXPECT_EQ(run.code, 1) << c.named;
    EXPECT_EQ(run.err, "korvanto: More than one instrument would be named " + c.named +
                           ": a cell names its instrument, so each name must be another "
                           "(NAME=FILE)\n");
    EXPECT_FALSE(fs::exists(dir_ / "twice.dxg"));
  }
}

TEST_F(KitCommand, KitOutputsNeverReplaceTheirInputs) {
  using namespace sound_files;
  WriteSound(dir_ / "kick.wav", kWav16, 44100, 1, Widen(Tone16(441, 44100)));
  const std::string kick = ReadFileBytes(dir_ / "kick.wav");
  const std::string kit = ReadFileBytes(kitFile_);
  const CurrentDirScope inHome(dir_.path());
  fs::create_directories(dir_ / "temp");
  const struct {
    std::vector<std::string> args;
    std::string refused, reason;
  } cases[] = {
      {{"build", "kick.wav", "kick.wav"}, "kick.wav", "it is one of the files being read"},
      {{"build", "power.dxg", "kick.wav"}, "power.dxg", "Korvanto keeps it in its home folder"},
      {{"extract", "power.dxg", "temp/x"}, "temp/x", "the temp folder holds Korvanto's work files"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"kit"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CommandRun run = Korvanto(args);
    EXPECT_EQ(run.code, 1) << c.refused;
    EXPECT_EQ(run.err, "korvanto: Cannot write " + c.refused + ": " + c.reason + "\n");
    EXPECT_EQ(ReadFileBytes(dir_ / "kick.wav"), kick);
    EXPECT_EQ(ReadFileBytes(kitFile_), kit);
    EXPECT_FALSE(fs::exists(dir_ / "temp" / "x"));
  }
  // Outside a home (a folder without the kit) a kit of one's own is built
  // again over the older one.
  fs::create_directories(dir_ / "work");
  WriteFileAtomically(dir_ / "work" / "mine.dxg", "an older build");
  const CurrentDirScope inWork(dir_ / "work");
  const CommandRun rebuilt = Korvanto({"kit", "build", "mine.dxg", (dir_ / "kick.wav").string()});
  EXPECT_EQ(rebuilt.code, 0) << rebuilt.err;
  EXPECT_NE(ReadFileBytes(dir_ / "work" / "mine.dxg"), "an older build");
}

// The decoded sounds of a build go to a folder of the build's own, made
// afresh: a folder of a name someone could have guessed is not touched.
TEST_F(KitCommand, BuildDecodesInAFolderOfItsOwn) {
  using namespace sound_files;
  WriteSound(dir_ / "tone.flac", kFlac16, 44100, 1, Widen(Tone16(441, 44100)));
  const fs::path guessed =
      fs::temp_directory_path() / ("korvanto-kit-" + std::to_string(::getpid()));
  fs::create_directories(guessed);
  WriteFileAtomically(guessed / "someone else's", "kept");
  const CurrentDirScope inHome(dir_.path());
  fs::create_directories(dir_ / "temp");
  const CommandRun run = Korvanto({"kit", "build", "mine.dxg", "tone.flac"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(guessed / "someone else's"), "kept");
  EXPECT_TRUE(fs::is_empty(dir_ / "temp"));
  fs::remove_all(guessed);
}
