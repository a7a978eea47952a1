#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "midi/MidiChoice.h"

namespace {
struct OptionCase {
  std::vector<std::string> args;
  bool ok;
  std::optional<MidiSystem> api;
  std::vector<std::string> left;
};

class MidiOptionCases : public ::testing::TestWithParam<OptionCase> {};

TEST_P(MidiOptionCases, AreTakenOutOfTheArguments) {
  std::vector<std::string> args = GetParam().args;
  args.insert(args.begin(), "korvanto");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  std::string error;
  const MidiOption option = TakeMidiOption(argc, argv.data(), error);
  EXPECT_EQ(option.ok, GetParam().ok);
  EXPECT_EQ(error.empty(), GetParam().ok) << error;
  EXPECT_EQ(option.api, GetParam().api);
  std::vector<std::string> left(argv.begin() + 1, argv.begin() + argc);
  EXPECT_EQ(left, GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Midi, MidiOptionCases,
    ::testing::Values(OptionCase{{"song.sng"}, true, std::nullopt, {"song.sng"}},
                      OptionCase{
                          {"--midi", "jack", "song.sng"}, true, MidiSystem::Jack, {"song.sng"}},
                      OptionCase{{"song.sng", "--midi=alsa"}, true, MidiSystem::Alsa, {"song.sng"}},
                      OptionCase{{"--midi", "none"}, true, MidiSystem::None, {}},
                      OptionCase{{"--midi", "oss"}, false, std::nullopt, {}},
                      OptionCase{{"--midi"}, false, std::nullopt, {}},
                      OptionCase{{"--midi=JACK"}, false, std::nullopt, {}}));

TEST(MidiSystem, WordsRoundTrip) {
  for (const MidiSystem api : {MidiSystem::None, MidiSystem::Alsa, MidiSystem::Jack})
    EXPECT_EQ(MidiSystemFromWord(MidiSystemWord(api)), api);
  EXPECT_EQ(MidiSystemFromWord(""), std::nullopt);
}
}  // namespace
