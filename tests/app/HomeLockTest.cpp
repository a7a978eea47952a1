// One program per home folder, and the option that starts another anyway.
#include <gtest/gtest.h>

#include <fstream>

#include "app/CommandLine.h"
#include "app/HomeLock.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(HomeLock, TheFirstHoldsTheHomeASecondFindsItBusyUntilTheFirstGoes) {
  TempDir home;
  auto first = std::make_unique<HomeLock>(home.path());
  EXPECT_EQ(first->Get(), HomeLock::State::Held);
  EXPECT_TRUE(fs::exists(home / "temp" / ".lock"));
  {
    const HomeLock second(home.path());
    EXPECT_EQ(second.Get(), HomeLock::State::Busy);
    EXPECT_EQ(DecideStart(second.Get(), false), StartMode::Refused);
    EXPECT_EQ(DecideStart(second.Get(), true), StartMode::WithoutRecovery);
  }
  // The busy one's going leaves the lock where it was.
  EXPECT_EQ(HomeLock(home.path()).Get(), HomeLock::State::Busy);
  first.reset();
  const HomeLock next(home.path());
  EXPECT_EQ(next.Get(), HomeLock::State::Held);
  EXPECT_EQ(DecideStart(next.Get(), false), StartMode::WithRecovery);
  // Another home is another lock.
  TempDir other;
  EXPECT_EQ(HomeLock(other.path()).Get(), HomeLock::State::Held);
}

TEST(HomeLock, AHomeWhereNoLockCanBeMadeStartsWithoutOne) {
  TempDir home;
  std::ofstream(home / "temp") << "a file where the temp folder should be";
  const HomeLock lock(home.path());
  EXPECT_EQ(lock.Get(), HomeLock::State::Unavailable);
  EXPECT_EQ(DecideStart(lock.Get(), false), StartMode::WithoutRecovery);
}

namespace {

std::vector<std::string> AfterTaking(std::vector<std::string> words, bool leadingOnly,
                                     bool& taken) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(words.size());
  taken = TakeForceOption(argc, argv.data(), leadingOnly);
  EXPECT_EQ(argv[argc], nullptr);
  return {argv.begin() + 1, argv.begin() + argc};
}

}  // namespace

TEST(ForceOption, BeforeACommandOnlyInFrontForTheWindowsAnywhere) {
  using Words = std::vector<std::string>;
  bool taken = false;
  EXPECT_EQ(AfterTaking({"korvanto", "--force", "render", "a.sng", "a.wav"}, true, taken),
            (Words{"render", "a.sng", "a.wav"}));
  EXPECT_TRUE(taken);
  // A command's own words are its own.
  EXPECT_EQ(AfterTaking({"korvanto", "render", "--force", "a.sng"}, true, taken),
            (Words{"render", "--force", "a.sng"}));
  EXPECT_FALSE(taken);
  EXPECT_EQ(AfterTaking({"korvanto", "Demo.sng", "--force"}, false, taken), (Words{"Demo.sng"}));
  EXPECT_TRUE(taken);
  EXPECT_EQ(AfterTaking({"korvanto", "Demo.sng"}, false, taken), (Words{"Demo.sng"}));
  EXPECT_FALSE(taken);
}
