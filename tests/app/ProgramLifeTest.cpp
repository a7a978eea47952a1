// The real program's life as its user meets it: ended by signals while a song
// plays, killed after an edit, started twice in one home, its display lost.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include "app/HomeLock.h"
#include "common/Files.h"
#include "song/RecoveryFiles.h"
#include "support/RealProgram.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path kProgram = fs::path(KORVANTO_TEST_BUILD_DIR) / "korvanto";

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FindOnPath("Xvfb").empty() || FindOnPath("xdotool").empty())
      GTEST_SKIP() << "Xvfb and xdotool (scripts/install-deps) run the real windows";
    display_ = std::make_unique<HiddenDisplay>();
    ASSERT_FALSE(display_->Name().empty()) << "Xvfb did not start";
    // A home as the program fills one: the kit, Blank.wav, the demo song.
    ChildProcess fill({kProgram.string(), "--home", home_.path().string(), "--version"}, {},
                      "/dev/null", "/dev/null");
    ASSERT_TRUE(fill.WaitFor(30s));
    ASSERT_TRUE(fs::exists(home_ / "Demo.sng"));
  }

  // The windows in the home, with what they print kept under name.
  std::unique_ptr<ChildProcess> Start(const std::string& name,
                                      const std::vector<std::string>& arguments) {
    std::vector<std::string> args{kProgram.string(), "--home", home_.path().string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    auto program = std::make_unique<ChildProcess>(
        args,
        std::vector<std::string>{"DISPLAY=" + display_->Name(), "QT_QPA_PLATFORM=xcb",
                                 "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + Sound().string(),
                                 "XDG_CONFIG_HOME=" + (home_ / "config").string()},
        home_ / (name + ".out"), home_ / (name + ".err"));
    EXPECT_TRUE(program->Started());
    return program;
  }
  std::string Printed(const std::string& name) { return ReadFileBytes(home_ / (name + ".err")); }
  fs::path Sound() const { return home_ / "sound.raw"; }

  // xdotool's output; empty when it failed or took longer than 30 s.
  std::string Xdo(const std::vector<std::string>& words) {
    std::vector<std::string> args{FindOnPath("xdotool")};
    args.insert(args.end(), words.begin(), words.end());
    ChildProcess xdo(args, {"DISPLAY=" + display_->Name()}, home_ / "xdo.out", "/dev/null");
    const auto status = xdo.WaitFor(30s);
    if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) return "";
    return ReadFileBytes(home_ / "xdo.out");
  }
  // Waits for a window whose title matches, gives it the keyboard and types.
  bool TypeInto(const std::string& title, const std::vector<std::string>& keys) {
    const std::string found = Xdo({"search", "--sync", "--name", title});
    if (found.empty()) return false;
    const std::string window = found.substr(0, found.find('\n'));
    if (keys.empty()) return true;
    Xdo({"windowfocus", window});
    std::this_thread::sleep_for(300ms);
    std::vector<std::string> words{"key", "--delay", "100"};
    words.insert(words.end(), keys.begin(), keys.end());
    Xdo(words);
    return true;
  }
  // Some sound other than silence reached the sound device since sound.raw
  // was removed.
  bool SoundPlays() {
    for (auto until = std::chrono::steady_clock::now() + 15s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(100ms)) {
      std::error_code ec;
      if (!fs::exists(Sound(), ec)) continue;
      const std::string bytes = ReadFileBytes(Sound());
      if (bytes.find_first_not_of('\0') != std::string::npos) return true;
    }
    return false;
  }
  static bool ExitedWith(std::optional<int> status, int code) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
  }

  TempDir home_;
  std::unique_ptr<HiddenDisplay> display_;
};

}  // namespace

// Ctrl+C in the terminal, a logout, a closed terminal: each ends the program
// as closing its main window does, with status 0 and the panning table
// written; with nothing unsaved it leaves no recovery files. Both players
// run when the signal comes: the song (F5) and the grid's pattern (F6).
TEST_F(RealProgram, SigtermSigintAndSighupEachEndItCleanlyWhileSongAndPatternPlay) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    fs::remove(Sound());
    auto program = Start("run", {"Demo.sng"});
    ASSERT_TRUE(TypeInto("^Korvanto - Demo\\.sng$", {"F5", "F6"}));
    ASSERT_TRUE(SoundPlays()) << Printed("run");
    fs::remove(home_ / "Panning.dat");

    const auto sent = std::chrono::steady_clock::now();
    program->Signal(signal);
    const auto status = program->WaitFor(10s);
    const auto took = std::chrono::steady_clock::now() - sent;

    ASSERT_TRUE(status) << "still running 10 s after the signal";
    EXPECT_TRUE(ExitedWith(status, 0)) << "wait status " << *status << "\n" << Printed("run");
    std::cout << strsignal(signal) << ": ended after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
    EXPECT_EQ(ReadTextLines(home_ / "Panning.dat").size(), 17u);
    EXPECT_FALSE(RecoveryFiles(home_.path()).Found());
  }
}

// One program per home: a second is refused, on the terminal and in a box.
// The first, killed after an edit, leaves its work and no lock behind: the
// next start asks and brings the edit back exactly.
TEST_F(RealProgram, KilledAfterAnEditItsWorkComesBackAndTheHomeIsFreeAgain) {
  const RecoveryFiles recovery(home_.path());
  auto first = Start("first", {"Demo.sng"});
  ASSERT_TRUE(TypeInto("^Korvanto - Demo\\.sng$", {}));

  auto second = Start("second", {});
  ASSERT_TRUE(TypeInto("^Korvanto$", {"Return"}));  // the box's OK
  EXPECT_TRUE(ExitedWith(second->WaitFor(10s), 1));
  EXPECT_NE(Printed("second").find(kAlreadyRunning), std::string::npos) << Printed("second");

  // Enter puts the chosen instrument (the kick) into the grid's current cell.
  ASSERT_TRUE(TypeInto("^Korvanto - Demo\\.sng$", {"Return"}));
  std::string copy;
  for (auto until = std::chrono::steady_clock::now() + 30s;
       copy.empty() && std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(200ms))
    if (fs::exists(recovery.PatternFile())) copy = ReadFileBytes(recovery.PatternFile());
  ASSERT_FALSE(copy.empty()) << "no copy of the edit within 30 s";
  EXPECT_NE(copy.find("Kick"), std::string::npos);

  first->Signal(SIGKILL);
  ASSERT_TRUE(first->WaitFor(10s));
  EXPECT_TRUE(recovery.Found());
  EXPECT_EQ(HomeLock(home_.path()).Get(), HomeLock::State::Held);

  auto next = Start("next", {"Demo.sng"});
  ASSERT_TRUE(TypeInto("^Korvanto$", {"Return"}));  // Yes, restore
  ASSERT_TRUE(TypeInto("^Korvanto - Demo\\.sng", {}));
  // Ended by a signal, it copies its unsaved work again: the edit it got back.
  next->Signal(SIGTERM);
  EXPECT_TRUE(ExitedWith(next->WaitFor(10s), 0)) << Printed("next");
  ASSERT_TRUE(fs::exists(recovery.PatternFile()));
  EXPECT_EQ(ReadFileBytes(recovery.PatternFile()), copy);
}

// The X server goes away while a pattern plays: Qt ends the program with
// exit(1); the workers and the sound device stop first, so it ends without
// a crash, and the edit made a moment ago is kept for the next start.
TEST_F(RealProgram, LosingTheDisplayWhileAPatternPlaysEndsItWithoutACrash) {
  fs::remove(Sound());
  auto program = Start("run", {});
  ASSERT_TRUE(TypeInto("^Korvanto Pro v6\\.0$", {"Return", "F6"}));
  ASSERT_TRUE(SoundPlays()) << Printed("run");

  display_->Kill();
  const auto status = program->WaitFor(10s);

  ASSERT_TRUE(status) << "still running 10 s after its display went";
  EXPECT_FALSE(WIFSIGNALED(*status)) << "ended by signal " << WTERMSIG(*status) << "\n"
                                     << Printed("run");
  EXPECT_TRUE(ExitedWith(status, 1)) << Printed("run");
  EXPECT_TRUE(fs::exists(RecoveryFiles(home_.path()).PatternFile()));
}
