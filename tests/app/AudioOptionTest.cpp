// "--audio jack|sdl" taken out of the windows' arguments, wherever it stands
// before "--"; a wrong value is an error that names it.
#include <gtest/gtest.h>

#include "app/AudioOption.h"

namespace {

struct Case {
  std::vector<std::string> args;
  std::optional<AudioKind> kind;
  std::vector<std::string> left;
  bool error = false;
};

class AudioOption : public ::testing::TestWithParam<Case> {};

TEST_P(AudioOption, IsTakenOut) {
  std::vector<std::string> args{"korvanto"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  const AudioOptionResult result = TakeAudioOption(argc, argv.data());
  EXPECT_EQ(result.kind, GetParam().kind);
  EXPECT_EQ(!result.error.empty(), GetParam().error) << result.error;
  std::vector<std::string> left;
  for (int i = 1; i < argc; ++i) left.emplace_back(argv[i]);
  EXPECT_EQ(left, GetParam().left);
  EXPECT_EQ(argv[argc], nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, AudioOption,
    ::testing::Values(
        Case{{}, std::nullopt, {}}, Case{{"Song.sng"}, std::nullopt, {"Song.sng"}},
        Case{{"--audio", "jack"}, AudioKind::Jack, {}},
        Case{{"--audio", "sdl", "Song.sng"}, AudioKind::Sdl, {"Song.sng"}},
        Case{{"Song.sng", "--audio=jack"}, AudioKind::Jack, {"Song.sng"}},
        Case{{"--force", "--audio", "jack", "x.sng"}, AudioKind::Jack, {"--force", "x.sng"}},
        Case{{"--", "--audio", "jack"}, std::nullopt, {"--", "--audio", "jack"}},
        Case{{"--audio", "alsa"}, std::nullopt, {}, true},
        Case{{"--audio=JACK"}, std::nullopt, {}, true}, Case{{"--audio"}, std::nullopt, {}, true}));

}  // namespace
