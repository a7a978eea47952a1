#pragma once
// The user-interface thread as core sees it: a place to run work later and
// repeating timers. Every model and sound object lives on this thread.
#include <chrono>
#include <functional>
#include <memory>

// A repeating timer on the UI thread; destroying it stops it.
class UiTimer {
 public:
  virtual ~UiTimer() = default;
};

class UiThread {
 public:
  virtual ~UiThread() = default;
  // Thread-safe: runs the task on the UI thread later.
  virtual void Post(std::function<void()> task) = 0;
  // UI thread only: calls tick every period until the timer is destroyed.
  virtual std::unique_ptr<UiTimer> StartTimer(std::chrono::milliseconds period,
                                              std::function<void()> tick) = 0;
};
