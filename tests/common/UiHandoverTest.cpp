#include "common/ManualUiThread.h"
#include "common/UiHandover.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(UiHandover, RunsTheTaskOnThePumpingThread) {
  ManualUiThread ui;
  UiHandover handover(ui);
  std::thread::id ranOn;
  std::atomic<bool> result{false};
  std::thread worker([&] { result = handover.Invoke([&] { ranOn = std::this_thread::get_id(); }); });
  ASSERT_TRUE(ui.PumpUntil([&] { return ranOn != std::thread::id(); }, 2s));
  worker.join();
  EXPECT_TRUE(result);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(UiHandover, AbandonWakesTheWorkerAndVoidsThePendingCall) {
  ManualUiThread ui;
  UiHandover handover(ui);
  std::atomic<bool> returned{false};
  bool ran = false;
  std::thread worker([&] {
    EXPECT_FALSE(handover.Invoke([&] { ran = true; }));
    returned = true;
  });
  while (!returned) {
    handover.Abandon();  // the UI thread never pumps here: the worker must still return
    std::this_thread::sleep_for(1ms);
  }
  worker.join();
  ui.ProcessPending();
  EXPECT_FALSE(ran);
  EXPECT_FALSE(handover.Invoke([&] { ran = true; }));  // stays void until rearmed
  handover.Rearm();
  std::thread again([&] { EXPECT_TRUE(handover.Invoke([&] { ran = true; })); });
  ASSERT_TRUE(ui.PumpUntil([&] { return ran; }, 2s));
  again.join();
}

TEST(ManualUiThread, TimersTickUntilDestroyed) {
  ManualUiThread ui;
  int ticks = 0;
  auto timer = ui.StartTimer(1ms, [&] { ++ticks; });
  ASSERT_TRUE(ui.PumpUntil([&] { return ticks >= 3; }, 2s));
  timer.reset();
  const int before = ticks;
  ui.PumpFor(10ms);
  EXPECT_EQ(ticks, before);
  EXPECT_EQ(ui.LiveTimers(), 0);
}
