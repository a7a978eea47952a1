#pragma once
// A worker thread's synchronous call into the UI thread that the owner can
// abandon. The UI thread must never join a worker that waits for it, so
// before joining, the owner calls Abandon(): a pending call then returns
// without running and the worker wakes up.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "common/UiThread.h"

class UiHandover {
 public:
  explicit UiHandover(UiThread& ui) : ui_(ui) {}
  ~UiHandover() { Abandon(); }
  UiHandover(const UiHandover&) = delete;
  UiHandover& operator=(const UiHandover&) = delete;

  // Worker side: runs task on the UI thread and waits for it. Returns whether
  // it ran; false once abandoned. The task must not throw.
  bool Invoke(std::function<void()> task);

  // UI side: voids the pending call and every later one until Rearm().
  void Abandon();
  void Rearm();

 private:
  struct Call {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
  };

  UiThread& ui_;
  std::mutex mutex_;
  std::shared_ptr<Call> pending_;
  bool abandoned_ = false;
};
