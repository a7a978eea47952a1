#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "bench/StealClick.h"
#include "common/ManualUiThread.h"
#include "kit/DXClass.h"
#include "kit/Mixer.h"
#include "kit/OutputClock.h"
#include "kit/SoundTrouble.h"
#include "kit/Wave.h"

namespace {

using Clock = Mixer::Clock;
using namespace std::chrono;

constexpr int kRate = 48000;
constexpr int kPeriod = 240;

// A one-frame click at full scale, then silence.
struct Click {
  std::vector<int16_t> data = std::vector<int16_t>(64, 0);
  Click() { data[0] = data[1] = 16384; }
};

MixerCommand StartCommand(const Click& click, int slot, Clock::time_point stamp) {
  MixerCommand c;
  c.op = MixerOp::Start;
  c.slot = static_cast<uint16_t>(slot);
  c.generation = 1;
  c.data = reinterpret_cast<const uint8_t*>(click.data.data());
  c.frames = 32;
  c.layout = SampleLayout{SampleKind::S16, 2, 4, kRate, kRate * 4};
  c.stampNs = duration_cast<nanoseconds>(stamp.time_since_epoch()).count();
  return c;
}

// Renders blocks whose callbacks come at the given times; returns the frame
// of the first nonzero sample, or -1.
int64_t RenderUntilOnset(Mixer& mixer, const std::vector<Clock::time_point>& callbacks) {
  std::vector<float> block(2 * kPeriod);
  for (size_t k = 0; k < callbacks.size(); ++k) {
    mixer.Render(block.data(), kPeriod, callbacks[k]);
    for (int f = 0; f < kPeriod; ++f)
      if (block[2 * f] != 0.0f) return static_cast<int64_t>(k) * kPeriod + f;
  }
  return -1;
}

TEST(Mixer, PlacesEachOnsetAtItsCallTimePlusTheLatencyDespiteCallbackJitter) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> jitterUs(0, 100);
  for (int trial = 0; trial < 20; ++trial) {
    Mixer mixer({kRate, kPeriod, true, 16});
    const auto start = Clock::time_point(seconds(1000));
    std::vector<Clock::time_point> callbacks;
    std::vector<int> jitter;
    for (int k = 0; k < 600; ++k) {
      // Woken up to 0.1 ms late, and now and then 2 ms late.
      jitter.push_back(jitterUs(random) + (k % 5 == 2 ? 2000 : 0));
      callbacks.push_back(start + microseconds(5000 * k + jitter.back()));
    }
    // Settle the clock, then trigger between two callbacks.
    std::vector<Clock::time_point> first(callbacks.begin(), callbacks.begin() + 400);
    ASSERT_EQ(RenderUntilOnset(mixer, first), -1);
    const auto call = start + microseconds(5000 * 400 - 3000 + 137 * trial);
    Click click;
    ASSERT_TRUE(mixer.Send(StartCommand(click, 0, call)));
    std::vector<Clock::time_point> rest(callbacks.begin() + 400, callbacks.end());
    const int64_t onset = RenderUntilOnset(mixer, rest) + 400 * kPeriod;
    const double expected = duration<double>(call + mixer.TriggerLatency() - start).count() * kRate;
    // The typical wake-up delay shifts every onset alike: it is part of the
    // fixed latency. What remains stays within 0.05 ms.
    std::nth_element(jitter.begin(), jitter.begin() + 300, jitter.end());
    const double typicalDelay = jitter[300] * 1e-6 * kRate;
    EXPECT_NEAR(onset - expected, -typicalDelay, 2.4) << trial;
  }
}

// A sound server that serves a quantum of four periods as four callbacks in
// a row, then nothing for four periods.
std::vector<Clock::time_point> BurstCallbacks(Clock::time_point start, int blocks) {
  std::vector<Clock::time_point> callbacks;
  for (int k = 0; k < blocks; ++k)
    callbacks.push_back(start + microseconds(5000 * (k / 4 * 4) + 20 * (k % 4)));
  return callbacks;
}

TEST(Mixer, LearnsADeviceThatPullsBurstsAndPlacesEveryOnsetOnTime) {
  for (int trial = 0; trial < 20; ++trial) {
    Mixer mixer({kRate, kPeriod, true, 16});
    const auto start = Clock::time_point(seconds(1000));
    const auto callbacks = BurstCallbacks(start, 600);
    std::vector<Clock::time_point> first(callbacks.begin(), callbacks.begin() + 400);
    ASSERT_EQ(RenderUntilOnset(mixer, first), -1);
    // Anywhere in the four periods between two bursts.
    const auto call = start + microseconds(5000 * 400 - 20000 + 1000 * trial + 3);
    Click click;
    ASSERT_TRUE(mixer.Send(StartCommand(click, 0, call)));
    std::vector<Clock::time_point> rest(callbacks.begin() + 400, callbacks.end());
    const int64_t onset = RenderUntilOnset(mixer, rest) + 400 * kPeriod;
    const double expected = duration<double>(call + mixer.TriggerLatency() - start).count() * kRate;
    EXPECT_EQ(mixer.LateStarts(), 0) << trial;
    EXPECT_NEAR(onset, expected, 1.5) << trial;
    EXPECT_GE(mixer.TriggerLatency(), microseconds(4 * 5000));
    EXPECT_EQ(mixer.LateCallbacks(), 0);
  }
}

// A stolen voice does not click off: it falls to silence over a few ms
// while the new one starts at once.
TEST(Mixer, AStolenVoiceFadesOutWhileItsSlotStartsTheNewOne) {
  Mixer mixer({kRate, kPeriod, false, 1});
  std::vector<int16_t> level(2 * kRate, 16384);
  MixerCommand start;
  start.op = MixerOp::Start;
  start.generation = 1;
  start.data = reinterpret_cast<const uint8_t*>(level.data());
  start.frames = kRate;
  start.layout = SampleLayout{SampleKind::S16, 2, 4, kRate, kRate * 4};
  mixer.Send(start);
  std::vector<float> block(2 * kPeriod);
  mixer.Render(block.data(), kPeriod);
  ASSERT_EQ(block[2 * (kPeriod - 1)], 0.5f);

  MixerCommand steal;
  steal.op = MixerOp::Steal;
  mixer.Send(steal);
  std::vector<int16_t> quiet(2 * kRate, 0);
  start.generation = 2;
  start.data = reinterpret_cast<const uint8_t*>(quiet.data());
  mixer.Send(start);
  mixer.Render(block.data(), kPeriod);
  const int fade = mixer.FadeFrames();
  EXPECT_GE(fade, kRate / 1000);  // at least a millisecond
  EXPECT_GT(block[0], 0.45f);
  for (int f = 1; f < kPeriod; ++f) ASSERT_LE(block[2 * f], block[2 * (f - 1)]) << f;
  EXPECT_LT(block[2 * (fade / 2)], 0.3f);
  EXPECT_EQ(block[2 * fade], 0.0f);
  EXPECT_TRUE(mixer.Report(0).playing);  // the new voice
}

TEST(Mixer, WithoutStampsAVoiceStartsAtTheNextBlock) {
  Mixer mixer({kRate, kPeriod, false, 16});
  std::vector<float> block(2 * kPeriod);
  mixer.Render(block.data(), kPeriod);
  Click click;
  mixer.Send(StartCommand(click, 3, Clock::now() + hours(1)));
  mixer.Render(block.data(), kPeriod);
  EXPECT_EQ(block[0], 0.5f);
  EXPECT_EQ(block[2], 0.0f);
  const VoiceReport report = mixer.Report(3);
  EXPECT_EQ(report.generation, 1u);
  EXPECT_FALSE(report.playing);  // a 32-frame click has ended
}

// A late callback counts as an underrun, and the program's log tells of it
// in the second it happened, and only then.
TEST(Mixer, ALateCallbackCountsAsAnUnderrunAndTheLogTellsOfIt) {
  ManualUiThread ui;
  std::vector<std::string> told;  // what the log said of late callbacks
  SoundTroubleLog log(ui, [&](const std::string& line) {
    if (line.find("late callbacks") != std::string::npos) told.push_back(line);
  });
  Mixer mixer({kRate, kPeriod, true, 16});
  std::vector<float> block(2 * kPeriod);
  const auto start = Clock::time_point(seconds(50));
  for (int k = 0; k < 100; ++k) mixer.Render(block.data(), kPeriod, start + microseconds(5000 * k));
  EXPECT_EQ(mixer.LateCallbacks(), 0);
  ui.FireTimers();
  EXPECT_TRUE(told.empty());
  mixer.Render(block.data(), kPeriod, start + microseconds(5000 * 100 + 12000));
  EXPECT_EQ(mixer.LateCallbacks(), 1);
  ui.FireTimers();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("1 late callbacks"), std::string::npos) << told[0];
  ui.FireTimers();
  EXPECT_EQ(told.size(), 1u);
}

// A step placed in the output's frames sounds at that frame, whatever the
// callbacks do before it: jitter, or the device moving 20 ms later at once.
TEST(Mixer, AStepPlacedInTheOutputsFramesSoundsAtThatFrame) {
  for (int moveMs : {0, 20}) {
    Mixer mixer({kRate, kPeriod, true, 16});
    const auto start = Clock::time_point(seconds(300));
    std::vector<Clock::time_point> callbacks;
    for (int k = 0; k < 600; ++k)
      callbacks.push_back(start +
                          microseconds(5000 * k + 37 * (k % 3) + (k >= 405 ? 1000 * moveMs : 0)));
    std::vector<Clock::time_point> first(callbacks.begin(), callbacks.begin() + 400);
    ASSERT_EQ(RenderUntilOnset(mixer, first), -1);
    const int64_t placed = 400 * kPeriod + 4321;
    Click click;
    MixerCommand c = StartCommand(click, 0, start + microseconds(5000 * 400));
    c.frame = placed;
    ASSERT_TRUE(mixer.Send(c));
    std::vector<Clock::time_point> rest(callbacks.begin() + 400, callbacks.end());
    EXPECT_EQ(RenderUntilOnset(mixer, rest) + 400 * kPeriod, placed) << moveMs;
    EXPECT_EQ(mixer.LateStarts(), 0);
  }
}

// However many voices are stolen in one block, each fades to silence frame
// by frame: the mix moves no further from frame to frame than the sound
// itself does (here 0.8 full scale of a 113 Hz sine: 0.012 a frame).
TEST(Mixer, EveryStolenVoiceFadesWithoutAClick) {
  for (int steals : {1, 32, 64, 200}) {
    EXPECT_LE(stealclick::AddedStep(steals), 0.002) << steals << " steals";
  }
}

// A device that came back after a gap: the plays that fell due while it
// delivered nothing would all start on its first block. Those more than a
// block late are dropped and counted; the one due now still sounds.
TEST(Mixer, RightAfterTheClockRestartsPlaysLongOverdueAreDroppedNotStacked) {
  Mixer mixer({kRate, kPeriod, true, 16});
  std::vector<float> block(2 * kPeriod);
  const auto start = Clock::time_point(seconds(70));
  for (int k = 0; k < 400; ++k) mixer.Render(block.data(), kPeriod, start + microseconds(5000 * k));
  const auto gapFrom = start + microseconds(5000 * 400);
  const auto back = gapFrom + milliseconds(1280);
  Click click;
  for (int slot = 0; slot < 3; ++slot)
    ASSERT_TRUE(mixer.Send(StartCommand(click, slot, gapFrom + milliseconds(200 + 400 * slot))));
  ASSERT_TRUE(mixer.Send(StartCommand(click, 3, back - mixer.TriggerLatency())));
  std::vector<Clock::time_point> after;
  for (int k = 0; k < 20; ++k) after.push_back(back + microseconds(5000 * k));
  std::vector<float> heard;
  for (const auto& t : after) {
    mixer.Render(block.data(), kPeriod, t);
    heard.insert(heard.end(), block.begin(), block.end());
  }
  EXPECT_EQ(mixer.DroppedStarts(), 3);
  const float loudest = *std::max_element(heard.begin(), heard.end());
  EXPECT_EQ(loudest, 0.5f) << "one click, not three on top of each other";
}

// One stall of the device's thread makes callbacks late against the clock,
// several in a row when the device plays on later from then, and every
// mixer on the device sees each of them: the log counts the stall once.
TEST(Mixer, OneStallOfTheSharedDeviceCountsOnce) {
  struct Case {
    const char* name;
    bool catchesUp;  // the blocks it owes come in a burst, or the device moved
    int64_t serverUnderruns;
  };
  for (const Case& c : {Case{"burst", true, 0}, Case{"moved", false, 1}}) {
    const auto before = soundtrouble::Totals();
    std::vector<std::unique_ptr<Mixer>> mixers;
    for (int m = 0; m < 3; ++m)
      mixers.push_back(std::make_unique<Mixer>(Mixer::Settings{kRate, kPeriod, true, 16}));
    std::vector<float> block(2 * kPeriod);
    auto t = Clock::time_point(seconds(c.catchesUp ? 90 : 190));
    for (int k = 0; k < 600; ++k) {
      if (k == 300) t += milliseconds(60);
      for (size_t m = 0; m < mixers.size(); ++m)
        mixers[m]->Render(block.data(), kPeriod, t + microseconds(3 * m));
      t += c.catchesUp && k >= 300 && k < 312 ? microseconds(20) : microseconds(5000);
    }
    for (auto& mixer : mixers) EXPECT_EQ(mixer->LateCallbacks(), 1) << c.name;
    const auto now = soundtrouble::Totals();
    EXPECT_EQ(now.lateCallbacks - before.lateCallbacks, 1) << c.name;
    EXPECT_EQ(now.serverUnderruns - before.serverUnderruns, c.serverUnderruns) << c.name;
  }
}

// A sound server's callbacks come a little slow, then one quickly to catch
// up: the clock keeps the rate the device really plays at.
TEST(OutputClock, FindsTheTrueRateUnderASawtoothOfCallbacks) {
  OutputClock clock;
  const double period = 256.0 / 48000;
  const double step = 0.120;  // a step every 120 ms, placed 20 ms ahead
  std::vector<double> placed;
  double t = 0;
  for (int k = 0; k < 8000; ++k) {
    clock.OnBlock(t, 256LL * k, 256, 48000);
    const double due = step * static_cast<double>(placed.size() + 1);
    if (t > 2.0 && due - t < 0.020) placed.push_back(clock.FrameAt(due));
    if (t <= 2.0 && due - t < 0.020) placed.push_back(0);  // the clock still settles
    // Nine blocks 0.09 ms late each, then the tenth makes it all up.
    t += k % 10 == 9 ? period - 9 * 0.00009 : period + 0.00009;
  }
  // The steps 120 ms apart land 5760 frames apart, over the whole run too.
  const size_t first = 20;
  const double frames = placed.back() - placed[first];
  const double steps = static_cast<double>(placed.size() - 1 - first);
  EXPECT_NEAR(frames / steps, 5760, 5760 * 20e-6);
  for (size_t i = first + 1; i < placed.size(); ++i)
    ASSERT_NEAR(placed[i] - placed[i - 1], 5760, 0.5 * 48) << i;  // 0.5 ms
}

// A server that fell behind asks for every block later from then on: the
// clock follows within a few blocks instead of counting them all late.
TEST(OutputClock, FollowsADeviceThatMovesLaterAtOnce) {
  OutputClock clock;
  const double period = 240.0 / 48000;
  int late = 0;
  for (int k = 0; k < 1000; ++k) {
    const double t = k * period + (k >= 500 ? 0.008 : 0);
    if (clock.OnBlock(t, 240LL * k, 240, 48000) > period) ++late;
  }
  EXPECT_LE(late, 8);
  EXPECT_NEAR(clock.FrameAt(999 * period + 0.008), 240 * 999, 2);
}

}  // namespace

namespace {

// An output that keeps real time, whose blocks the test asks for.
class HandOutput : public AudioOutput {
 public:
  bool Open(int) override { return true; }
  int Rate() const override { return kRate; }
  int PeriodFrames() const override { return kPeriod; }
  bool RealTime() const override { return true; }
  void Start(Render render) override { render_ = std::move(render); }
  void Stop() override { render_ = nullptr; }
  // Renders one block once the clock reaches `at`.
  std::vector<float> BlockAt(Clock::time_point at) {
    while (Clock::now() < at) {
    }
    std::vector<float> block(2 * kPeriod);
    render_(block.data(), kPeriod);
    return block;
  }

 private:
  Render render_;
};

// A click (a Play of the moment, not of a step) sounds from the first frame
// of the next block the device asks for, not two blocks and more later.
TEST(Mixer, AClickSoundsWithTheNextBlock) {
  auto hand = std::make_unique<HandOutput>();
  HandOutput& output = *hand;
  TDirectSound device(std::move(hand));
  std::vector<int16_t> level(2 * 64, 16384);
  TDirectSoundBuffer buffer(device);
  TDSBufferDesc desc{0xE0, static_cast<uint32_t>(level.size() * 2),
                     Wave::MakePcmFormat(kRate, 16, 2)};
  ASSERT_TRUE(buffer.CreateBuffer(desc));
  TLockRegions regions;
  buffer.Lock(0, desc.dwBufferBytes, regions);
  std::memcpy(regions.ptr1, level.data(), regions.bytes1);
  buffer.Unlock(regions);
  auto at = Clock::now();
  for (int k = 0; k < 120; ++k, at += microseconds(5000)) output.BlockAt(at);
  ASSERT_TRUE(buffer.Play(0));
  const auto next = output.BlockAt(at);
  EXPECT_EQ(next[0], 0.5f) << "the click starts with the block after it";
}

}  // namespace
