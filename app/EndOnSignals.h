#pragma once
// SIGTERM (a logout, kill), SIGINT (Ctrl+C in the terminal) and SIGHUP (the
// terminal closed) end the program through the event loop: the handler only
// writes to a pipe, and the loop, reading it, calls end on the UI thread.
#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "common/SignalPipe.h"

class EndOnSignals {
 public:
  explicit EndOnSignals(std::function<void()> end);
  EndOnSignals(const EndOnSignals&) = delete;
  EndOnSignals& operator=(const EndOnSignals&) = delete;

 private:
  SignalPipe pipe_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void()> end_;
  bool ending_ = false;
};
