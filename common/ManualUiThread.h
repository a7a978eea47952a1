#pragma once
// A UI thread for tests without an event loop: the test's own thread is the
// UI thread and runs posted tasks and due timers when it pumps.
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "common/UiThread.h"

class ManualUiThread : public UiThread {
 public:
  using Clock = std::chrono::steady_clock;

  void Post(std::function<void()> task) override;
  std::unique_ptr<UiTimer> StartTimer(std::chrono::milliseconds period,
                                      std::function<void()> tick) override;

  // Runs the tasks posted so far and the timers that are due. Returns how many ran.
  int ProcessPending();
  // Pumps for the given time.
  void PumpFor(std::chrono::milliseconds duration);
  // Pumps until the condition holds or the time is up; returns the condition.
  bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
  // Fires every live timer once, due or not.
  void FireTimers();
  int LiveTimers() const;

 private:
  struct Timer {
    std::chrono::milliseconds period;
    Clock::time_point due;
    std::function<void()> tick;
    bool alive = true;
  };
  class Handle;

  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::shared_ptr<Timer>> timers_;
};
