#pragma once
// The UI thread port over Qt's event loop.
#include "common/UiThread.h"

class QtUiThread : public UiThread {
 public:
  void Post(std::function<void()> task) override;
  std::unique_ptr<UiTimer> StartTimer(std::chrono::milliseconds period,
                                      std::function<void()> tick) override;
  // The program's one instance.
  static QtUiThread& Instance();
};
