#pragma once
// The refill thread of a playing stream: it waits at most the refill period,
// then hands one refill to the UI thread and waits for it to run. Destroying
// it from the UI thread first voids a pending hand-over, so the thread never
// waits for the UI thread while the UI thread waits for it.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "common/UiHandover.h"

class TAudioStreamNotify {
 public:
  TAudioStreamNotify(UiThread& ui, std::chrono::milliseconds period, std::function<void()> refill);
  ~TAudioStreamNotify();
  TAudioStreamNotify(const TAudioStreamNotify&) = delete;
  TAudioStreamNotify& operator=(const TAudioStreamNotify&) = delete;

  // Wakes the thread, which then ends. Safe from inside a refill.
  void Signal();

 private:
  void Run();

  UiHandover handover_;
  const std::chrono::milliseconds period_;
  const std::function<void()> refill_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool signalled_ = false;
  std::thread thread_;  // last: starts once everything above exists
};
