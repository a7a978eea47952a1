// "--midi" on the built program's command line.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "support/RealProgram.h"
#include "support/TempDir.h"

namespace {
const std::filesystem::path kProgram = std::filesystem::path(KORVANTO_TEST_BUILD_DIR) / "korvanto";

TEST(MidiOption, AnUnknownSystemIsRefusedBeforeAnyWindowOpens) {
  TempDir dir;
  ChildProcess run({kProgram.string(), "--home", dir.path().string(), "--midi", "oss"}, {},
                   dir / "out", dir / "err");
  const std::optional<int> code = run.WaitFor(std::chrono::seconds(20));
  ASSERT_TRUE(code && WIFEXITED(*code));
  EXPECT_EQ(WEXITSTATUS(*code), 2);
  EXPECT_EQ(ReadFileBytes(dir / "err"), "korvanto: --midi takes alsa, jack or none, not 'oss'\n");
}

TEST(MidiOption, HelpNamesIt) {
  TempDir dir;
  ChildProcess run({kProgram.string(), "--help"}, {}, dir / "out", dir / "err");
  const std::optional<int> code = run.WaitFor(std::chrono::seconds(20));
  ASSERT_TRUE(code && WIFEXITED(*code) && WEXITSTATUS(*code) == 0);
  EXPECT_NE(ReadFileBytes(dir / "out").find("--midi alsa|jack|none"), std::string::npos);
}
}  // namespace
