// Following a transport: what each state the output saw asks of the song
// player, as a table of steps.
#include <gtest/gtest.h>

#include "song/TransportFollower.h"

namespace {

using State = TransportSeen::State;
using Kind = TransportMove::Kind;

struct Step {
  State state;
  int64_t position, outputFrame, earliest;
  Kind kind;
  int64_t movePosition = 0, frameOfZero = 0, rollAt = -1;
  bool forgetBefore = false;  // the user stopped the song before this look
};

struct Story {
  const char* name;
  std::vector<Step> steps;
};

class TransportStories : public ::testing::TestWithParam<Story> {};

TEST_P(TransportStories, EachLookDecides) {
  TransportFollower follower;
  int n = 0;
  for (const Step& step : GetParam().steps) {
    if (step.forgetBefore) follower.Forget();
    const TransportMove move =
        follower.Follow({step.state, step.position, step.outputFrame, 256}, step.earliest);
    EXPECT_EQ(move.kind, step.kind) << GetParam().name << " step " << n;
    if (move.kind == Kind::Start || move.kind == Kind::Retime) {
      EXPECT_EQ(move.position, step.movePosition) << GetParam().name << " step " << n;
      EXPECT_EQ(move.frameOfZero, step.frameOfZero) << GetParam().name << " step " << n;
      if (move.kind == Kind::Start) {
        EXPECT_EQ(move.rollAt, step.rollAt) << GetParam().name << " step " << n;
      }
    }
    ++n;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stories, TransportStories,
    ::testing::Values(
        Story{"stopped stays still",
              {{State::Stopped, 0, 1000, 1500, Kind::None},
               {State::Stopped, 0, 1256, 1700, Kind::None}}},
        // Rolling seen without a wait: frame 0 of the transport fell where it says.
        Story{"rolls without waiting",
              {{State::Rolling, 5000, 20000, 20300, Kind::Start, 5000, 15000},
               {State::Rolling, 5256, 20256, 20600, Kind::None},
               {State::Stopped, 5512, 20512, 20800, Kind::Stop}}},
        // Waiting to start: a block boundary two blocks past the earliest frame.
        Story{"starts on a block ahead",
              {{State::Starting, 9000, 10000, 10300, Kind::Start, 9000, 11024 - 9000, 11024},
               {State::Starting, 9000, 10256, 10600, Kind::None},
               {State::Rolling, 9000, 11024, 11300, Kind::None},
               {State::Rolling, 9256, 11280, 11600, Kind::None}}},
        // Other clients held the start longer: the steps wait for their
        // transport frames, the song goes on as placed.
        Story{"rolls later than asked",
              {{State::Starting, 0, 10000, 10300, Kind::Start, 0, 11024, 11024},
               {State::Rolling, 0, 11280, 11500, Kind::Retime, 0, 11280},
               {State::Rolling, 256, 11536, 11800, Kind::None}}},
        // Sooner than asked (the wait timed out): later steps are made sooner;
        // far sooner, the song is placed again.
        Story{"rolls sooner than asked",
              {{State::Starting, 0, 10000, 10300, Kind::Start, 0, 11024, 11024},
               {State::Rolling, 0, 10512, 10700, Kind::Retime, 0, 10512}}},
        Story{"rolls far sooner than asked",
              {{State::Starting, 0, 10000, 10300, Kind::Start, 0, 11024, 11024},
               {State::Rolling, 0, 8000, 10700, Kind::Start, 0, 8000}}},
        Story{"relocated while rolling",
              {{State::Rolling, 0, 1000, 1300, Kind::Start, 0, 1000},
               {State::Rolling, 256, 1256, 1500, Kind::None},
               {State::Rolling, 96000, 1512, 1800, Kind::Start, 96000, 1512 - 96000}}},
        // Blocks the server skipped for us (xruns) are no relocation.
        Story{"xruns are no relocation",
              {{State::Rolling, 0, 1000, 1300, Kind::Start, 0, 1000},
               {State::Rolling, 1024, 1256, 1500, Kind::Retime, 1024, 232},
               {State::Rolling, 1280, 1512, 1800, Kind::None}}},
        Story{"a new wait at another place",
              {{State::Starting, 0, 1000, 1000, Kind::Start, 0, 1512, 1512},
               {State::Starting, 48000, 1256, 1300, Kind::Start, 48000, 2024 - 48000, 2024}}},
        // The user stopped the song: it stays stopped while the transport rolls on.
        Story{"the user's stop holds until the transport moves",
              {{State::Rolling, 0, 1000, 1300, Kind::Start, 0, 1000},
               {State::Rolling, 256, 1256, 1500, Kind::None, 0, 0, -1, true},
               {State::Rolling, 512, 1512, 1800, Kind::None},
               {State::Rolling, 4800, 1768, 2000, Kind::Start, 4800, 1768 - 4800}}},
        Story{"a stop after the user's stop says nothing",
              {{State::Rolling, 0, 1000, 1300, Kind::Start, 0, 1000},
               {State::Stopped, 256, 1256, 1500, Kind::None, 0, 0, -1, true},
               {State::Rolling, 256, 1512, 1800, Kind::Start, 256, 1256}}}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

}  // namespace
