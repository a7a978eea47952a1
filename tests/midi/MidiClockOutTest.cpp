#include <gtest/gtest.h>

#include "midi/MidiClockOut.h"

namespace {

TEST(MidiClockOut, PulsesShareTheStepEvenlyFromItsStart) {
  struct Case {
    int64_t step, next;
    std::vector<int64_t> dues;
  };
  const std::vector<Case> cases = {
      {0, 120, {0, 20, 40, 60, 80, 100}},
      {1000, 1125, {1000, 1020, 1041, 1062, 1083, 1104}},  // rounded down, never summed
      {500, 506, {500, 501, 502, 503, 504, 505}},
      {7, 7, {}},  // a step of no length has no pulses
      {9, 3, {}},
  };
  for (const Case& c : cases) {
    std::vector<int64_t> dues;
    for (const TimedMidi& p : MidiClockOut::PulsesOfStep(c.step, c.next)) {
      EXPECT_EQ(p.size, 1);
      EXPECT_EQ(p.bytes[0], 0xF8);
      dues.push_back(p.dueNs);
    }
    EXPECT_EQ(dues, c.dues) << c.step << ".." << c.next;
  }
}

TEST(MidiClockOut, SongPositionIsFourteenBitsOfSteps) {
  struct Case {
    int64_t steps;
    uint8_t lsb, msb;
  };
  for (const Case& c : std::vector<Case>{{0, 0, 0},
                                         {1, 1, 0},
                                         {127, 127, 0},
                                         {128, 0, 1},
                                         {16383, 127, 127},
                                         {99999, 127, 127},
                                         {-5, 0, 0}}) {
    const TimedMidi m = MidiClockOut::SongPosition(42, c.steps);
    EXPECT_EQ(m.size, 3);
    EXPECT_EQ(m.dueNs, 42);
    EXPECT_EQ(m.bytes, (std::array<uint8_t, 3>{0xF2, c.lsb, c.msb})) << c.steps;
  }
}

TEST(MidiClockOut, StartStepsAndStopCountThePosition) {
  MidiClockOut clock;
  EXPECT_TRUE(clock.Step(0, 100).empty()) << "no pulses before Start";
  EXPECT_TRUE(clock.Stop(5).empty()) << "no Stop before Start";
  const auto start = clock.Start(1000);
  ASSERT_EQ(start.size(), 2u);
  EXPECT_EQ(start[0], MidiClockOut::SongPosition(1000, 0));
  EXPECT_EQ(start[1].bytes[0], 0xFA);
  EXPECT_EQ(clock.Step(1000, 1120).size(), 6u);
  EXPECT_EQ(clock.Step(1120, 1180).front().dueNs, 1120);
  const auto stop = clock.Stop(1180);
  ASSERT_EQ(stop.size(), 2u);
  EXPECT_EQ(stop[0].bytes[0], 0xFC);
  EXPECT_EQ(stop[1], MidiClockOut::SongPosition(1180, 2));
  EXPECT_FALSE(clock.Running());
}

}  // namespace
