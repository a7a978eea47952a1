#pragma once
// What must stop when the program ends by exit() instead of returning from
// main: Qt calls exit(1) when the display goes away, and any code may call
// exit. The static objects are destroyed right after; threads still running
// then (timer workers, stream refills, the sound device's callback) would use
// what is being destroyed and crash the program on its way out.
//
// The hook is registered with std::atexit when the first ExitHook is made:
// make it after the statics the threads use exist, so it runs before those go.
#include <functional>
#include <thread>

class ExitHook {
 public:
  // onThisThread runs only when exit() is called on the thread that makes
  // the hook (the UI thread, which owns the timers and streams it stops);
  // anyThread (closing the sound device) runs whichever thread calls exit().
  ExitHook(std::function<void()> onThisThread, std::function<void()> anyThread);
  // Disarms: main ended normally and its own objects stop everything.
  ~ExitHook();
  ExitHook(const ExitHook&) = delete;
  ExitHook& operator=(const ExitHook&) = delete;

  // The atexit handler's work: runs the armed hook once. Never throws.
  static void RunArmed();

 private:
  std::function<void()> onThisThread_;
  std::function<void()> anyThread_;
  std::thread::id owner_;
};
