// The home folder rule and how a new home is filled.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/HomeFolder.h"
#include "app/ProgramHome.h"
#include "common/Exception.h"
#include "common/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// The shared content in miniature.
class SharedContent : public ::testing::Test {
 protected:
  void SetUp() override {
    Write(shared_ / "power.dxg", "KIT");
    Write(shared_ / "Blank.wav", "BLANK");
    Write(shared_ / "Panning.dat", "0\r\n");
    Write(shared_ / "Rock.pat", "ROCK");
    Write(shared_ / "Funk.pat", "FUNK");
    Write(shared_ / "Demo.sng", "Rock\r\n");
  }
  TempDir shared_;
  TempDir root_;
};

}  // namespace

TEST(HomeChoice, AFolderHoldingTheKitWinsThenASongsFolderThenTheUsersFolder) {
  TempDir start;
  TempDir kitted;
  fs::create_directories(start / "songs");
  std::ofstream(start / "songs" / "power.dxg") << "KIT";
  std::ofstream(kitted / "power.dxg") << "KIT";
  const HomePlaces places{start.path(), "/data", "/home/ann"};
  // No kit here: the first song's folder when it holds one, relative or absolute.
  EXPECT_EQ(ChooseHome(places, {"-platform", "offscreen", "songs/Demo.sng", "/b/Other.sng"}),
            (HomeChoice{start / "songs", false}));
  EXPECT_EQ(ChooseHome(places, {(kitted / "Demo.sng").string()}),
            (HomeChoice{kitted.path(), false}));
  // A song saved outside any home never makes its folder one.
  for (const std::string& song : {std::string("/music/beats/Demo.sng"), std::string("Demo.sng"),
                                  (start / "other" / "Beat.sng").string()})
    EXPECT_EQ(ChooseHome(places, {song, (kitted / "Later.sng").string()}),
              (HomeChoice{"/data/korvanto", true}))
        << song;
  // Nothing named: the user's data folder, to be filled.
  EXPECT_EQ(ChooseHome(places, {"Rock.pat"}), (HomeChoice{"/data/korvanto", true}));
  // The kit in the start folder wins over everything.
  std::ofstream(start / "power.dxg") << "KIT";
  EXPECT_EQ(ChooseHome(places, {"/music/beats/Demo.sng"}), (HomeChoice{start.path(), false}));
}

TEST(HomeChoice, TheUsersFolderFollowsXdgDataHomeWhenItIsAnAbsolutePath) {
  EXPECT_EQ(UserDataFolder({"/x", "/xdg/data", "/home/ann"}), "/xdg/data/korvanto");
  EXPECT_EQ(UserDataFolder({"/x", "", "/home/ann"}), "/home/ann/.local/share/korvanto");
  EXPECT_EQ(UserDataFolder({"/x", "relative/data", "/home/ann"}),
            "/home/ann/.local/share/korvanto");
}

TEST_F(SharedContent, ANewHomeIsFilledOnceAndTheUsersChangesStay) {
  const fs::path home = root_ / "deep" / "korvanto";
  EXPECT_TRUE(FillHome(home, shared_.path()));
  for (const char* name :
       {"power.dxg", "Blank.wav", "Panning.dat", "Rock.pat", "Funk.pat", "Demo.sng"})
    EXPECT_EQ(ReadFileBytes(home / name), ReadFileBytes(shared_ / name)) << name;
  EXPECT_TRUE(fs::is_directory(home / "temp"));
  EXPECT_TRUE(fs::is_empty(home / "temp"));

  Write(home / "Rock.pat", "MY ROCK");
  fs::remove(home / "Funk.pat");
  Write(shared_ / "House.pat", "HOUSE");  // a newer program's demo
  EXPECT_FALSE(FillHome(home, shared_.path()));
  EXPECT_EQ(ReadFileBytes(home / "Rock.pat"), "MY ROCK");
  EXPECT_FALSE(fs::exists(home / "Funk.pat"));
  EXPECT_FALSE(fs::exists(home / "House.pat"));
}

TEST_F(SharedContent, AFolderWithoutAKitGetsWhatItLacksAndKeepsWhatItHolds) {
  const fs::path home = root_ / "beats";
  Write(home / "Rock.pat", "MY ROCK");
  Write(home / "temp" / "sample1.wav", "WORK");
  FillHome(home, shared_.path());
  EXPECT_EQ(ReadFileBytes(home / "power.dxg"), "KIT");
  EXPECT_EQ(ReadFileBytes(home / "Funk.pat"), "FUNK");
  EXPECT_EQ(ReadFileBytes(home / "Rock.pat"), "MY ROCK");
  EXPECT_EQ(ReadFileBytes(home / "temp" / "sample1.wav"), "WORK");
}

TEST_F(SharedContent, AHomeThatCantBeMadeRaisesAndNoSharedContentLeavesItEmpty) {
  Write(root_ / "file", "not a folder");
  EXPECT_THROW(FillHome(root_ / "file" / "korvanto", shared_.path()), EFCreateError);
  FillHome(root_ / "bare", "");
  EXPECT_TRUE(fs::is_directory(root_ / "bare" / "temp"));
  EXPECT_FALSE(fs::exists(root_ / "bare" / "power.dxg"));
}

TEST(SharedContentFolder, InstalledBesideTheProgramOrInTheBuildFolder) {
  TempDir prefix;
  fs::create_directories(prefix / "bin");
  EXPECT_EQ(SharedContentFolder(prefix / "bin", "../share/korvanto"), fs::path());
  fs::create_directories(prefix / "bin" / "share" / "korvanto");
  EXPECT_EQ(SharedContentFolder(prefix / "bin", "../share/korvanto"),
            prefix / "bin" / "share" / "korvanto");
  fs::create_directories(prefix / "share" / "korvanto");
  EXPECT_EQ(SharedContentFolder(prefix / "bin", "../share/korvanto"),
            prefix / "share" / "korvanto");
}

namespace {

// A command line as main() gets it.
struct Argv {
  explicit Argv(std::vector<std::string> words) : words_(std::move(words)) {
    for (std::string& word : words_) pointers.push_back(word.data());
    pointers.push_back(nullptr);  // argv[argc], as main() has it
    count = static_cast<int>(words_.size());
  }
  std::vector<std::string> Left() const { return {pointers.begin() + 1, pointers.begin() + count}; }
  std::vector<std::string> words_;
  std::vector<char*> pointers;
  int count;
};

class ProgramStart : public SharedContent {
 protected:
  ProgramHome HomeFrom(const fs::path& start) {
    return ProgramHome({start, (root_ / "xdg").string(), "/nowhere"}, shared_.path());
  }
  CurrentDirScope back_{fs::current_path()};
  std::ostringstream err_;
};

}  // namespace

TEST_F(ProgramStart, HomeOptionComesFirstIsTakenOutAndEntered) {
  ProgramHome home = HomeFrom(root_.path());
  Argv argv({"korvanto", "--home", "beats", "render", "Demo.sng", "demo.wav"});
  ASSERT_TRUE(home.TakeOption(argv.count, argv.pointers.data(), err_));
  EXPECT_EQ(argv.Left(), (std::vector<std::string>{"render", "Demo.sng", "demo.wav"}));
  EXPECT_EQ(fs::current_path(), root_ / "beats");
  EXPECT_EQ(ReadFileBytes("power.dxg"), "KIT");
  // Said outright, it holds for the windows too, whatever the arguments.
  EXPECT_EQ(home.EnterForWindows({"/elsewhere/Demo.sng"}, err_),
            (std::vector<std::string>{"/elsewhere/Demo.sng"}));
  EXPECT_EQ(fs::current_path(), root_ / "beats");

  ProgramHome other = HomeFrom(root_.path());
  Argv joined({"korvanto", "--home=" + (root_ / "other").string()});
  ASSERT_TRUE(other.TakeOption(joined.count, joined.pointers.data(), err_));
  EXPECT_EQ(joined.count, 1);
  EXPECT_EQ(fs::current_path(), root_ / "other");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ProgramStart, HomeOptionWithoutAFolderOrWithOneThatCantBeMadeFails) {
  Write(root_ / "file", "x");
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"korvanto", "--home"},
        {"korvanto", "--home="},
        {"korvanto", "--home", (root_ / "file" / "sub").string()}}) {
    ProgramHome home = HomeFrom(root_.path());
    Argv argv(words);
    err_.str("");
    EXPECT_FALSE(home.TakeOption(argv.count, argv.pointers.data(), err_));
    EXPECT_EQ(err_.str().rfind("korvanto: ", 0), 0u) << err_.str();
  }
  // Elsewhere than first it is no option of the program's.
  ProgramHome home = HomeFrom(root_.path());
  Argv later({"korvanto", "render", "--home", "x"});
  EXPECT_TRUE(home.TakeOption(later.count, later.pointers.data(), err_));
  EXPECT_EQ(later.count, 4);
}

TEST_F(ProgramStart, StartedWithASongInAHomeTheWindowsWorkInItsFolder) {
  Write(root_ / "songs" / "Mine.sng", "Rock\r\n");
  Write(root_ / "songs" / "power.dxg", "MINE");
  fs::current_path(root_.path());
  ProgramHome home = HomeFrom(root_.path());
  EXPECT_EQ(home.EnterForWindows({"songs/Mine.sng"}, err_),
            (std::vector<std::string>{(root_ / "songs" / "Mine.sng").string()}));
  EXPECT_EQ(fs::current_path(), root_ / "songs");
  EXPECT_EQ(ReadFileBytes("power.dxg"), "MINE");
}

TEST_F(ProgramStart, ASongSavedOutsideAHomeOpensInTheUsersFolderAndIsReadFromWhereItIs) {
  Write(root_ / "Music" / "Beat.sng", "Rock\r\n");
  fs::current_path(root_.path());
  ProgramHome home = HomeFrom(root_.path());
  // Only the song is opened, read from its own folder; no demo beside it.
  EXPECT_EQ(home.EnterForWindows({"Music/Beat.sng"}, err_),
            (std::vector<std::string>{(root_ / "Music" / "Beat.sng").string()}));
  EXPECT_EQ(fs::current_path(), root_ / "xdg" / "korvanto");
  EXPECT_EQ(ReadFileBytes("Rock.pat"), "ROCK");
  // The song's folder is the user's own: nothing is written into it.
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "Music"), fs::directory_iterator()), 1);
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ProgramStart, StartedFromTheMenuTheWindowsWorkInTheFilledUsersFolder) {
  fs::current_path(root_.path());
  ProgramHome home = HomeFrom(root_.path());
  // The first start opens the demo song; later ones start with an empty play list.
  EXPECT_EQ(home.EnterForWindows({"-platform", "offscreen"}, err_),
            (std::vector<std::string>{"-platform", "offscreen", "Demo.sng"}));
  EXPECT_EQ(fs::current_path(), root_ / "xdg" / "korvanto");
  EXPECT_EQ(ReadFileBytes("Rock.pat"), "ROCK");
  fs::current_path(root_.path());
  ProgramHome again = HomeFrom(root_.path());
  EXPECT_EQ(again.EnterForWindows({}, err_), std::vector<std::string>{});
  EXPECT_EQ(fs::current_path(), root_ / "xdg" / "korvanto");

  // A folder holding the kit stays the home.
  Write(root_ / "kitted" / "power.dxg", "KIT");
  ProgramHome kitted = HomeFrom(root_ / "kitted");
  fs::current_path(root_ / "kitted");
  EXPECT_EQ(kitted.EnterForWindows({"Demo.sng"}, err_), std::vector<std::string>{"Demo.sng"});
  EXPECT_EQ(fs::current_path(), root_ / "kitted");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ProgramStart, AUsersFolderThatCantBeMadeLeavesTheStartFolderAndSaysSo) {
  Write(root_ / "xdg", "a file where the data folder should be");
  fs::current_path(root_.path());
  ProgramHome home = HomeFrom(root_.path());
  home.EnterForWindows({}, err_);
  EXPECT_EQ(fs::current_path(), root_.path());
  EXPECT_NE(err_.str().find("xdg"), std::string::npos) << err_.str();
}
