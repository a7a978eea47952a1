// The real program's saves reach the disk: the part file is flushed before
// it is renamed over the output, and its folder after, so a power cut
// leaves the old file or the new one, never an empty one. Watched through a
// library preloaded into the program that logs fsync and rename.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "support/RealProgram.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;
using SafeWriteTest = CommandHomeTest;

// The log's lines, each "fsync PATH -" or "rename FROM TO".
Lines RunLogged(const fs::path& home, const std::string& command) {
  const fs::path log = home / "sync.log";
  const std::string line = "cd '" + home.string() +
                           "' && LD_PRELOAD='" KORVANTO_SYNC_LOG_LIBRARY "' KORVANTO_SYNC_LOG='" +
                           log.string() + "' '" KORVANTO_TEST_BUILD_DIR "/korvanto' " + command +
                           " > /dev/null";
  EXPECT_EQ(std::system(line.c_str()), 0) << line;
  return fs::exists(log) ? ReadTextLines(log) : Lines{};
}

std::size_t Find(const Lines& log, const std::string& line) {
  for (std::size_t i = 0; i < log.size(); ++i)
    if (log[i] == line) return i;
  return log.size();
}

TEST_F(SafeWriteTest, EveryOutputIsFlushedBeforeItsRenameAndItsFolderAfter) {
  const fs::path home = fs::canonical(home_.path());
  const struct {
    std::string command, output;
  } cases[] = {
      {"midi Demo.sng demo.mid", "demo.mid"},
      {"render Rock.pat rock.wav", "rock.wav"},
      {"render Rock.pat mono.wav --mono", "mono.wav"},
      {"kit build mine.dxg Blank.wav", "mine.dxg"},
  };
  for (const auto& c : cases) {
    fs::remove(home / "sync.log");
    const Lines log = RunLogged(home, c.command);
    const std::string part = (home / c.output).string() + ".part";
    const std::size_t flushed = Find(log, "fsync " + part + " -");
    const std::size_t renamed = Find(log, "rename " + part + " " + (home / c.output).string());
    const std::size_t folder = Find(log, "fsync " + home.string() + " -");
    EXPECT_LT(flushed, renamed) << c.command;
    EXPECT_LT(renamed, log.size()) << c.command;
    bool folderAfter = false;
    for (std::size_t i = renamed; i < log.size(); ++i)
      folderAfter = folderAfter || log[i] == "fsync " + home.string() + " -";
    EXPECT_TRUE(folderAfter) << c.command << " " << folder;
    EXPECT_TRUE(fs::exists(home / c.output)) << c.command;
  }
}

// A render ended by a signal takes its work folder with it.
TEST_F(SafeWriteTest, ASignalEndingACommandRemovesItsWorkFolder) {
  std::vector<Row> rows(16, Row{});
  rows[0][0] = "Kick      [ ]";
  WriteTextLines(home_ / "Long.pat", PatternLines("Long", 60, 300, rows));
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    // A render that finished before the signal reached it (a loaded machine
    // holding this test back) shows nothing: it is run again.
    std::optional<int> status;
    for (int attempt = 0; attempt < 3; ++attempt) {
      fs::remove(home_ / "long.wav");
      ChildProcess render({KORVANTO_TEST_BUILD_DIR "/korvanto", "render", "Long.pat", "long.wav"},
                          {}, "/dev/null", home_ / "err.txt");
      ASSERT_TRUE(render.Started());
      // Its work folder appears as the render starts.
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (fs::is_empty(home_ / "temp") && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ASSERT_FALSE(fs::is_empty(home_ / "temp")) << "no work folder";
      render.Signal(signal);
      status = render.WaitFor(std::chrono::seconds(20));
      ASSERT_TRUE(status.has_value());
      if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0) break;
    }
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << *status;
    EXPECT_TRUE(fs::is_empty(home_ / "temp")) << signal;
    EXPECT_FALSE(fs::exists(home_ / "long.wav")) << signal;
    EXPECT_FALSE(fs::exists(home_ / "long.wav.part")) << signal;
  }
}

}  // namespace
