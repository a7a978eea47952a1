#pragma once
// Thread priorities of timer workers and their mapping to the platform's.
#include <thread>

enum TThreadPriority {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical,
};

namespace supertimer {

// The calling thread's identity, as the platform's priority calls need it.
struct ThreadHandle {
  std::thread::native_handle_type thread{};
  long kernelId = 0;
};

ThreadHandle CurrentThreadHandle();

// Applies the priority where the platform allows it. A priority the process
// may not take (raising needs a privilege) leaves the thread's priority as it
// was; returns whether the platform took it.
bool ApplyThreadPriority(const ThreadHandle& handle, TThreadPriority priority);

}  // namespace supertimer
