// Following a MIDI clock: steady step lengths from jittered pulse trains,
// new tempos taken quickly, Start/Continue/Stop told.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "midi/ClockFollower.h"

namespace {

constexpr int64_t kSecond = 1000000000;

MidiEvent Realtime(int64_t timeNs, uint8_t status) {
  MidiEvent event;
  event.timeNs = timeNs;
  event.bytes = {status, 0, 0};
  event.size = 1;
  return event;
}

struct Train {
  double beatsPerMinute;
  double jitterMs;  // each arrival moved by up to this much, either way
  int pulses;
};

// Feeds the train from startNs; returns the ideal time after its last pulse.
int64_t Feed(ClockFollower& follower, const Train& train, int64_t startNs, std::mt19937& random) {
  const double period = 60.0 / train.beatsPerMinute / 24 * kSecond;
  std::uniform_real_distribution<double> jitter(-train.jitterMs * 1e6, train.jitterMs * 1e6);
  for (int i = 0; i < train.pulses; ++i)
    follower.Heard(Realtime(startNs + std::llround(i * period + jitter(random)), 0xF8));
  return startNs + std::llround(train.pulses * period);
}

double StepOf(double beatsPerMinute) {
  return 60.0 / beatsPerMinute / 4;
}

TEST(ClockFollower, AJitteredSteadyClockHoldsTheStepWithinOnePercent) {
  const std::vector<Train> trains = {
      {120, 0, 240}, {120, 1, 960}, {120, 2, 960}, {60, 2, 480},
      {180, 1, 960}, {240, 1, 960}, {90, 3, 960},
  };
  for (const Train& train : trains) {
    std::mt19937 random(1234);
    ClockFollower follower;
    std::vector<double> told;
    follower.OnStep = [&](double step) { told.push_back(step); };
    const int64_t at =
        Feed(follower, {train.beatsPerMinute, train.jitterMs, 2 * 24}, kSecond, random);
    ASSERT_TRUE(follower.StepSeconds()) << train.beatsPerMinute;
    const size_t settled = told.size();
    Feed(follower, train, at, random);
    const double truth = StepOf(train.beatsPerMinute);
    for (const double step : told)
      EXPECT_NEAR(step, truth, 0.01 * truth) << train.beatsPerMinute << " BPM ±" << train.jitterMs;
    EXPECT_LE(told.size() - settled, 1u)
        << "the held step moved with the jitter: " << train.beatsPerMinute << " BPM ±"
        << train.jitterMs;
  }
}

TEST(ClockFollower, ANewTempoIsHeldWithinTwoQuarterNotes) {
  std::mt19937 random(7);
  ClockFollower follower;
  int64_t at = Feed(follower, {120, 1, 96}, kSecond, random);
  at = Feed(follower, {150, 1, 48}, at, random);
  ASSERT_TRUE(follower.StepSeconds());
  EXPECT_NEAR(*follower.StepSeconds(), StepOf(150), 0.01 * StepOf(150));
  Feed(follower, {100, 1, 48}, at, random);
  EXPECT_NEAR(*follower.StepSeconds(), StepOf(100), 0.01 * StepOf(100));
}

TEST(ClockFollower, AClockThatStopsAndComesBackIsFittedAfresh) {
  std::mt19937 random(3);
  ClockFollower follower;
  Feed(follower, {120, 0, 96}, kSecond, random);
  // Three seconds of silence, then a faster clock: the gap is no pulse period.
  Feed(follower, {200, 0, 48}, 5 * kSecond, random);
  EXPECT_NEAR(*follower.StepSeconds(), StepOf(200), 0.01 * StepOf(200));
}

TEST(ClockFollower, TransportAndStrayBytesAreToldOrIgnored) {
  ClockFollower follower;
  std::vector<MidiTransport> told;
  follower.OnTransport = [&](MidiTransport t) { told.push_back(t); };
  int steps = 0;
  follower.OnStep = [&](double) { ++steps; };
  const std::vector<MidiEvent> events = {
      Realtime(1, 0xFA),
      Realtime(2, 0xFE),
      Realtime(3, 0xFC),
      Realtime(4, 0xFB),
      Realtime(5, 0x90),
      Realtime(6, 0xFF),
      MidiEvent{7, {0xF8, 0, 0}, 0},
      Realtime(8, 0xF8),
      Realtime(8, 0xF8),
      Realtime(7, 0xF8),  // no time passed, or back
  };
  for (const MidiEvent& e : events) follower.Heard(e);
  EXPECT_EQ(told, (std::vector<MidiTransport>{MidiTransport::Start, MidiTransport::Stop,
                                              MidiTransport::Continue}));
  EXPECT_EQ(steps, 0);
  EXPECT_FALSE(follower.StepSeconds());
}

TEST(ClockFollower, AFloodOfWildPulsesIsToldAtMostOnceAStep) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int64_t> interval(50000, 5000000);  // 0.05 to 5 ms
  ClockFollower follower;
  int told = 0;
  follower.OnStep = [&](double) { ++told; };
  int64_t at = kSecond;
  for (int i = 0; i < 10000; ++i) follower.Heard(Realtime(at += interval(random), 0xF8));
  EXPECT_GT(told, 0);
  EXPECT_LE(told, 10000 / 6 + 1);
}

TEST(ClockFollower, TheTempoBarTakesTheNearestPositionAndHoldsBetweenTwo) {
  struct Case {
    double stepSeconds;
    int current, expected;
  };
  const std::vector<Case> cases = {
      {0.120, 40, 60},                    // 120 ms: position 60
      {0.125, 62, 62},                    // between 62 and 63: stays
      {0.125, 63, 63}, {0.1262, 62, 63},  // beyond 0.6 of a position
      {0.001, 60, 1},                     // held in the bar's range
      {5.0, 60, 140},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FollowedTempoPosition(c.stepSeconds, c.current), c.expected)
        << c.stepSeconds << " from " << c.current;
}

}  // namespace
