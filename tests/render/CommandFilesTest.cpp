// The command line's files beside the home's own: outputs that never
// replace inputs, work files in a folder of the command's own, and songs
// naming instruments the kit lacks.
#include <gtest/gtest.h>

#include <map>

#include "support/SoundFiles.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;

// Every file of the home and below, with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& home) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(home)) {
    const std::string name = entry.path().lexically_relative(home).string();
    files[name] = entry.is_regular_file() ? ReadFileBytes(entry.path()) : "<folder>";
  }
  return files;
}

// The names of the files that differ between two snapshots (their bytes
// are too many to print).
std::vector<std::string> Changed(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [name, bytes] : after) {
    const auto was = before.find(name);
    if (was == before.end() || was->second != bytes) changed.push_back(name);
  }
  for (const auto& [name, bytes] : before)
    if (!after.count(name)) changed.push_back(name + " (gone)");
  return changed;
}

using CommandFilesTest = CommandHomeTest;

TEST_F(CommandFilesTest, AnOutputThatWouldReplaceAnInputOrTheHomesOwnIsRefused) {
  WriteFileAtomically(home_ / "kick.wav", ReadFileBytes(home_ / "Blank.wav"));
  WriteTextLines(home_ / "Slot.sng", {"Rock", "<*sam1", "kick.wav", "44100", "//", "0"});
  fs::create_directories(home_ / "elsewhere");
  fs::copy_file(home_ / "Rock.pat", home_ / "elsewhere" / "Beat.pat");
  fs::create_symlink("Demo.sng", home_ / "link.wav");
  const std::string home = home_.path().string();
  const std::string input = "it is one of the files being read";
  const std::string own = "Korvanto keeps it in its home folder";
  const std::string temp = "the temp folder holds Korvanto's work files";
  const struct {
    std::vector<std::string> args;
    std::string refused, reason;
  } cases[] = {
      {{"render", "Demo.sng", "Demo.sng"}, "Demo.sng", input},
      {{"render", "Demo.sng", home + "/./Demo.sng"}, home + "/./Demo.sng", input},
      {{"render", "Demo.sng", "link.wav"}, "link.wav", input},
      {{"render", "Demo.sng", "Rock.pat"}, "Rock.pat", own},
      {{"render", "Demo.sng", "power.dxg", "--mono"}, "power.dxg", input},
      {{"render", "Demo.sng", "Panning.dat"}, "Panning.dat", input},
      {{"render", "Demo.sng", "Blank.wav"}, "Blank.wav", input},
      {{"render", "Demo.sng", "Funk.wav"}, "", ""},  // a new file: written
      {{"render", "Demo.sng", "temp/out.wav"}, "temp/out.wav", temp},
      {{"render", "elsewhere/Beat.pat", "elsewhere/Beat.pat"}, "elsewhere/Beat.pat", input},
      {{"render", "Slot.sng", "kick.wav"}, "kick.wav", input},
      {{"render", "Demo.sng", "--stems", "temp"}, "temp", temp},
      {{"midi", "Demo.sng", "Funk.pat"}, "Funk.pat", own},
      {{"midi", "Demo.sng", "Demo.sng"}, "Demo.sng", input},
      {{"collect", "Demo.sng", "temp/gig"}, "temp/gig", temp},
  };
  for (const auto& c : cases) {
    const auto before = Snapshot(home_.path());
    const CommandRun run = RunKorvanto(c.args);
    if (c.refused.empty()) {
      EXPECT_EQ(run.code, 0) << run.err;
      continue;
    }
    EXPECT_EQ(run.code, 1) << c.refused;
    EXPECT_EQ(run.err, "korvanto: Cannot write " + c.refused + ": " + c.reason + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Changed(before, Snapshot(home_.path())), std::vector<std::string>{}) << c.refused;
  }
}

// The windows' work files in temp/ are theirs: a command renders, decodes
// and fails in a folder of its own, gone when it ends.
TEST_F(CommandFilesTest, CommandsLeaveTheWindowsWorkFilesAlone) {
  using namespace sound_files;
  SndFileDecoding decoding;
  WriteSound(home_ / "tone.flac", kFlac16, 44100, 2, Widen(Tone16(4410, 44100)));
  WriteTextLines(home_ / "Slot.sng", {"Rock", "<*sam1", "tone.flac", "44100", "//", "0"});
  WriteTextLines(home_ / "Broken.sng", {"Rock", "<*sam2", "tone.flac", "fast"});
  for (const char* name : {"1.wav", "16.wav", "sample1.wav", "decoded-sample1.wav"})
    WriteFileAtomically(home_ / "temp" / name, std::string("the window's ") + name);
  const auto windows = Snapshot(home_ / "temp");
  const std::vector<std::string> commands[] = {
      {"render", "Slot.sng", "slot.wav"},
      {"render", "Slot.sng", "loop.wav", "--loop", "--mono"},
      {"render", "Slot.sng", "--stems", "stems"},
      {"midi", "Slot.sng", "slot.mid"},
      {"render", "Broken.sng", "broken.wav"},
      {"render", "Absent.sng", "absent.wav"},
  };
  for (const auto& args : commands) {
    const CommandRun run = RunKorvanto(args);
    EXPECT_EQ(run.code, args[1] == "Slot.sng" ? 0 : 1) << args[2] << run.err;
    EXPECT_EQ(Changed(windows, Snapshot(home_ / "temp")), std::vector<std::string>{}) << args[2];
  }
  EXPECT_FALSE(fs::exists(home_ / "broken.wav"));
}

// A path read from a broken file is quoted with its stray bytes escaped.
TEST_F(CommandFilesTest, APathFromABrokenFileIsQuotedReadably) {
  WriteTextLines(home_ / "Odd.sng", {"Caf\xE9 \xC3\xA9t\xE9", "Rock"});
  const CommandRun run = RunKorvanto({"render", "Odd.sng", "odd.wav"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Cannot open file " + home_.path().string() +
                         "/Caf\\xE9 \xC3\xA9t\\xE9.pat\n");
}

TEST_F(CommandFilesTest, InstrumentsTheKitLacksAreNamed) {
  std::vector<Row> rows(4, Row{});
  rows[0] = {"Kick      [ ]", "Gong      [ ]", "", "", "", ""};
  rows[2] = {"Clap      [4]", "", "", "", "", "Gong      [2]"};
  WriteTextLines(home_ / "Some.pat", PatternLines("Some", 60, 1, rows));
  CommandRun run = RunKorvanto({"render", "Some.pat", "some.wav"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err,
            "korvanto: The kit has no instrument named 'Gong', 'Clap': their steps stay "
            "silent.\n");
  EXPECT_TRUE(fs::exists(home_ / "some.wav"));

  rows[0][0] = "";
  WriteTextLines(home_ / "None.pat", PatternLines("None", 60, 1, rows));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"render", "None.pat", "none.wav"},
        {"render", "None.pat", "--stems", "none"}}) {
    run = RunKorvanto(args);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              "korvanto: The kit has no instrument named 'Gong', 'Clap': the song would be "
              "silent, so nothing was written.\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(home_ / "none.wav"));
    EXPECT_FALSE(fs::exists(home_ / "none"));
  }
}

}  // namespace
