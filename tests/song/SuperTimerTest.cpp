#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/ManualUiThread.h"
#include "song/SuperTimer.h"

using namespace std::chrono_literals;

namespace {

// The test thread is the UI thread; it can see how many ticks wait for it.
class CountingUiThread : public ManualUiThread {
 public:
  void Post(std::function<void()> task) override {
    ManualUiThread::Post(std::move(task));
    ++posted;
  }
  std::atomic<int> posted{0};
};

// Waits, without pumping, until a tick has been handed over.
bool WaitForHandOver(CountingUiThread& ui, int count) {
  for (int i = 0; i < 5000 && ui.posted < count; ++i) std::this_thread::sleep_for(1ms);
  return ui.posted >= count;
}

struct Recorder {
  int ticks = 0;
  int stops = 0;
  std::vector<std::int64_t> elapsed;
  std::vector<TSuperTimer::Clock::time_point> times;

  void Connect(TSuperTimer& timer) {
    timer.OnTimer = [this](TSuperTimer& sender) {
      ++ticks;
      elapsed.push_back(sender.Elapsed());
      times.push_back(sender.TickTime());
    };
    timer.OnStop = [this](TSuperTimer&) { ++stops; };
  }
};

}  // namespace

TEST(SuperTimer, StartsDisabledWithItsDefaults) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000);
  EXPECT_EQ(timer.ThreadPriority(), tpHigher);
  EXPECT_FALSE(timer.CountDown());
  EXPECT_EQ(timer.Elapsed(), 0);
  EXPECT_EQ(timer.TickLimit(), -1);
  timer.SetThreadPriority(tpLowest);  // before the worker exists
  timer.SetInterval(5);
  timer.SetEnabled(true);
  timer.SetThreadPriority(tpNormal);  // applied to the running worker
  EXPECT_EQ(timer.ThreadPriority(), tpNormal);
}

TEST(SuperTimer, IntervalZeroDisablesAndKeepsItDisabled) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  recorder.Connect(timer);
  timer.SetInterval(5);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 1; }, 5s));
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Enabled());
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Ticks(), 0);
  const int before = recorder.ticks;
  ui.PumpFor(50ms);
  EXPECT_EQ(recorder.ticks, before);
}

TEST(SuperTimer, ReenablingContinuesTheClockWithoutThePause) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  recorder.Connect(timer);
  timer.OnTimer = [&](TSuperTimer& sender) {
    recorder.elapsed.push_back(sender.Elapsed());
    recorder.times.push_back(sender.TickTime());
    if (++recorder.ticks == 3) sender.SetEnabled(false);
  };
  timer.SetInterval(10);
  const auto enabledAt = TSuperTimer::Clock::now();
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return !timer.Enabled(); }, 5s));
  ASSERT_EQ(recorder.ticks, 3);
  EXPECT_GE(recorder.times[0] - enabledAt, 10ms);  // one interval after enabling
  EXPECT_GE(recorder.elapsed[0], 10);
  EXPECT_GE(recorder.elapsed[2], recorder.elapsed[1] + 10);
  const auto third = recorder.elapsed[2];
  EXPECT_EQ(timer.Elapsed(), third);

  ui.PumpFor(400ms);  // the pause is not counted
  EXPECT_EQ(recorder.ticks, 3);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 4; }, 5s));
  EXPECT_GE(recorder.elapsed[3], third + 10);
  EXPECT_LT(recorder.elapsed[3], third + 400);
  EXPECT_EQ(recorder.stops, 0);
}

TEST(SuperTimer, CountingUpStopsOnlyAtAPositiveTickLimit) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  recorder.Connect(timer);
  timer.SetInterval(2);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 30; }, 5s));
  EXPECT_EQ(recorder.stops, 0);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_GE(timer.Ticks(), 30);

  timer.SetEnabled(false);
  timer.SetElapsed(0);
  timer.SetTickLimit(3);
  recorder.ticks = 0;
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.stops == 1; }, 5s));
  EXPECT_FALSE(timer.Enabled());
  EXPECT_GE(timer.Ticks(), 3);
  // The clock counts real time: a tick the machine delivered late counts
  // for more than one interval, so the limit may come with fewer ticks.
  EXPECT_GE(recorder.ticks, 1);
  EXPECT_LE(recorder.ticks, 3);
}

TEST(SuperTimer, CountingDownToZeroTicksThenStops) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  int ticksAtStop = -1;
  recorder.Connect(timer);
  timer.OnStop = [&](TSuperTimer& sender) {
    ++recorder.stops;
    ticksAtStop = recorder.ticks;
    EXPECT_FALSE(sender.Enabled());
  };
  timer.SetInterval(10);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 3; }, 5s));
  timer.SetCountDown(true);  // falls from where it stands
  const int switchedAt = recorder.ticks;
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.stops == 1; }, 5s));
  EXPECT_EQ(ticksAtStop, recorder.ticks);  // the last tick ran before the stop
  EXPECT_LE(timer.Elapsed(), 0);
  for (int i = switchedAt; i + 1 < recorder.ticks; ++i) {
    EXPECT_GT(recorder.elapsed[i], 0);
    EXPECT_LT(recorder.elapsed[i + 1], recorder.elapsed[i]);
  }
  ui.PumpFor(50ms);
  EXPECT_EQ(recorder.stops, 1);
  EXPECT_FALSE(timer.Enabled());
}

TEST(SuperTimer, NoTickAfterDisablingEvenWhenHandedOver) {
  CountingUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  recorder.Connect(timer);
  timer.SetInterval(2);
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitForHandOver(ui, 1));  // the worker now waits for this thread
  timer.SetEnabled(false);
  ui.PumpFor(30ms);
  EXPECT_EQ(recorder.ticks, 0);

  // Nor after enabling again: the first tick is one (long) interval away.
  ui.posted = 0;
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitForHandOver(ui, 1));
  timer.SetEnabled(false);
  timer.SetInterval(5000);
  timer.SetEnabled(true);
  ui.PumpFor(30ms);
  EXPECT_EQ(recorder.ticks, 0);
}

TEST(SuperTimer, NoTickAfterDestructionEvenWhenHandedOver) {
  CountingUiThread ui;
  Recorder recorder;
  {
    TSuperTimer timer(ui);
    recorder.Connect(timer);
    timer.SetInterval(2);
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitForHandOver(ui, 1));
  }  // joins a worker that waits for this thread
  ui.PumpFor(30ms);
  EXPECT_EQ(recorder.ticks, 0);
}

TEST(SuperTimer, HandlerCanDisableAndDestroyingANeverEnabledTimerIsQuiet) {
  ManualUiThread ui;
  TSuperTimer idle(ui);
  TSuperTimer timer(ui);
  int ticks = 0;
  timer.OnTimer = [&](TSuperTimer& sender) {
    ++ticks;
    sender.SetEnabled(false);
  };
  timer.SetInterval(3);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return ticks == 1; }, 5s));
  ui.PumpFor(30ms);
  EXPECT_EQ(ticks, 1);
  timer.SetEnabled(true);  // the worker returns from its hand-over and goes on
  ASSERT_TRUE(ui.PumpUntil([&] { return ticks == 2; }, 5s));
}

TEST(SuperTimer, AThrowingHandlerDoesNotStopTheWorker) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  std::vector<std::string> errors;
  int ticks = 0;
  timer.OnTimer = [&](TSuperTimer&) {
    ++ticks;
    throw std::runtime_error("Wave 'Kick' not found");
  };
  timer.OnError = [&](const std::string& message) { errors.push_back(message); };
  timer.SetInterval(2);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return ticks >= 3; }, 5s));
  EXPECT_TRUE(timer.Enabled());
  ASSERT_GE(errors.size(), 3u);
  EXPECT_EQ(errors[0], "Wave 'Kick' not found");

  // Without a report, and with a throwing OnStop, it goes on all the same.
  timer.OnError = nullptr;
  timer.OnStop = [](TSuperTimer&) { throw 42; };
  timer.SetTickLimit(timer.Ticks() + 2);
  ASSERT_TRUE(ui.PumpUntil([&] { return !timer.Enabled(); }, 5s));
  timer.SetTickLimit(-1);
  const int before = ticks;
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return ticks >= before + 3; }, 5s));
}

// A header step changes the interval inside its handler: the tick after it
// keeps the old interval as its floor, and the new one takes over after that.
TEST(SuperTimer, AnIntervalSetInTheHandlerGovernsTheGapsAfterTheNextTick) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  TSuperTimer::Clock::time_point firstHandlerEnd{};
  timer.OnTimer = [&](TSuperTimer& sender) {
    recorder.times.push_back(sender.TickTime());
    if (++recorder.ticks == 1) {
      sender.SetInterval(150);
      firstHandlerEnd = TSuperTimer::Clock::now();
    }
    if (recorder.ticks == 3) sender.SetInterval(20);
  };
  timer.SetInterval(2);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 5; }, 5s));
  // Longer: the new interval less 50 ms after the handler.
  EXPECT_GE(recorder.times[1] - firstHandlerEnd, 100ms);
  EXPECT_GE(recorder.times[2] - recorder.times[1], 150ms);
  // Shorter: the old interval still bounds the gap after the change.
  EXPECT_GE(recorder.times[3] - recorder.times[2], 150ms);
  EXPECT_GE(recorder.times[4] - recorder.times[3], 20ms);
}

// The UI thread is busy for 300 ms (a dialog, a pattern loading) while a tick
// waits for it: the tick after the late one still leaves a gap, so two steps
// never sound together.
TEST(SuperTimer, AStalledUiThreadNeverBringsTwoTicksTogether) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  std::vector<TSuperTimer::Clock::time_point> ran;
  timer.OnTimer = [&](TSuperTimer&) { ran.push_back(TSuperTimer::Clock::now()); };
  timer.SetInterval(120);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return ran.size() == 1; }, 5s));
  std::this_thread::sleep_for(300ms);  // no pumping: the next tick waits
  ASSERT_TRUE(ui.PumpUntil([&] { return ran.size() == 3; }, 5s));
  EXPECT_GE(ran[2] - ran[1], 70ms);
}

// Ticks on time keep to a grid from the first one: a wake-up a little late
// does not move the ticks after it.
TEST(SuperTimer, TicksOnTimeAreDueOnAGridOfIntervals) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  bool stalled = false;
  timer.OnTimer = [&](TSuperTimer& sender) {
    recorder.times.push_back(sender.TickTime());
    ++recorder.ticks;
    // A hand-over this late re-anchors the grid, which is right but not
    // what this test looks at.
    if (TSuperTimer::Clock::now() - sender.TickTime() > 40ms) stalled = true;
  };
  timer.SetInterval(60);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 6; }, 5s));
  if (stalled) GTEST_SKIP() << "the machine was too busy to hand ticks over in time";
  for (int i = 1; i < 6; ++i) EXPECT_EQ(recorder.times[i] - recorder.times[0], i * 60ms);
}

// A device whose clock runs fast gets its steps sooner in steady time, and
// the clock counts the device's time; a pace set while running waits for
// the next start.
TEST(SuperTimer, APacedClockCountsTheDevicesTime) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  Recorder recorder;
  recorder.Connect(timer);
  timer.SetInterval(60);
  timer.SetPace(1.25);
  timer.SetEnabled(true);
  timer.SetPace(2.0);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 6; }, 5s));
  timer.SetEnabled(false);
  for (int i = 1; i < 6; ++i) {
    const auto gap = recorder.times[i] - recorder.times[i - 1];
    // On time, a gap is 48 ms; a late hand-over may push one later.
    EXPECT_GE(gap, 48ms - 1us);
    if (gap < 60ms) {
      EXPECT_LE(gap, 48ms + 1us);
    }
  }
  EXPECT_GE(recorder.elapsed[0], 60);
  EXPECT_LT(recorder.elapsed[0], 120);
  EXPECT_EQ(timer.Pace(), 2.0);
}

TEST(SuperTimerSchedule, OnTimeTicksKeepAbsoluteTimeAndStallsReanchor) {
  using supertimer::NextDue;
  const auto due = TSuperTimer::Clock::now();
  // On time: the previous due time plus the interval, however late the wake.
  EXPECT_EQ(NextDue(due, 120ms, due + 1ms, 120ms), due + 120ms);
  EXPECT_EQ(NextDue(due, 120ms, due + 45ms, 120ms), due + 120ms);
  // A handler of 100 ms: its end plus the interval less 50 ms.
  EXPECT_EQ(NextDue(due, 120ms, due + 100ms, 120ms), due + 170ms);
  // A 300 ms stall: never sooner than 70 ms after the hand-over returned.
  EXPECT_EQ(NextDue(due, 120ms, due + 300ms, 120ms), due + 370ms);
  // A shorter interval set in the handler: the old one bounds the gap.
  EXPECT_EQ(NextDue(due, 240ms, due + 1ms, 120ms), due + 240ms);
  // A longer one: the end of the handler plus the new interval less 50 ms.
  EXPECT_EQ(NextDue(due, 120ms, due + 1ms, 240ms), due + 191ms);
  // 50 ms or less: nothing is added after the handler.
  EXPECT_EQ(NextDue(due, 2ms, due + 5ms, 30ms), due + 5ms);
  EXPECT_EQ(NextDue(due, 30ms, due + 1ms, 30ms), due + 30ms);
}

TEST(SuperTimer, OldWaitStillTicks) {
  ManualUiThread ui;
  TSuperTimer timer(ui, {supertimer::WaitKind::SleepThenSpin});
  Recorder recorder;
  recorder.Connect(timer);
  timer.SetInterval(60);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return recorder.ticks >= 2; }, 5s));
  EXPECT_GE(recorder.elapsed[1], recorder.elapsed[0] + 59);  // whole-ms clock
}

// A player that knows when its steps fall asks for each tick by its moment:
// before enabling for the first, inside a handler for the next, and while
// the timer waits for a new one instead. Each tick stands for the moment
// asked for, whatever the interval says.
TEST(SuperTimer, ScheduledTicksComeAtTheMomentsAskedFor) {
  ManualUiThread ui;
  TSuperTimer timer(ui);
  timer.SetInterval(1000);
  const auto base = TSuperTimer::Clock::now();
  std::vector<TSuperTimer::Clock::time_point> asked{base + 3ms, base + 7ms, base + 8ms,
                                                    base + 20ms};
  std::vector<TSuperTimer::Clock::time_point> ticks;
  timer.OnTimer = [&](TSuperTimer& sender) {
    ticks.push_back(sender.TickTime());
    if (ticks.size() < asked.size())
      sender.ScheduleNext(asked[ticks.size()]);
    else
      sender.SetEnabled(false);
  };
  timer.ScheduleNext(asked[0]);
  timer.SetEnabled(true);
  ASSERT_TRUE(ui.PumpUntil([&] { return !timer.Enabled(); }, 10s));
  EXPECT_EQ(ticks, asked);

  // Enabled and waiting a second: a new moment replaces the wait under way.
  ticks.clear();
  asked = {TSuperTimer::Clock::now() + 5ms};
  timer.SetEnabled(true);
  timer.ScheduleNext(asked[0]);
  ASSERT_TRUE(ui.PumpUntil([&] { return !timer.Enabled(); }, 10s));
  EXPECT_EQ(ticks, asked);
}
