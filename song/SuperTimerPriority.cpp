#include "song/SuperTimerPriority.h"

#include <algorithm>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace supertimer {

#if defined(__linux__)
namespace {

// Nice offsets from the process's own level, lowest to highest; idle and
// time critical take scheduling classes of their own instead.
int NiceOffset(TThreadPriority priority) {
  switch (priority) {
    case tpLowest:
      return 10;
    case tpLower:
      return 5;
    case tpHigher:
      return -5;
    case tpHighest:
      return -10;
    default:
      return 0;
  }
}

bool SetPolicy(const ThreadHandle& handle, int policy, int level) {
  sched_param param{};
  param.sched_priority = level;
  return pthread_setschedparam(handle.thread, policy, &param) == 0;
}

bool SetNice(const ThreadHandle& handle, int offset) {
  // Per-thread on this platform; the process's level is the main thread's.
  const int base = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
  const int nice = std::clamp(base + offset, -20, 19);
  return setpriority(PRIO_PROCESS, static_cast<id_t>(handle.kernelId), nice) == 0;
}

}  // namespace

ThreadHandle CurrentThreadHandle() {
  return ThreadHandle{pthread_self(), static_cast<long>(syscall(SYS_gettid))};
}

bool ApplyThreadPriority(const ThreadHandle& handle, TThreadPriority priority) {
  if (handle.kernelId == 0) return false;
  if (priority == tpIdle) return SetPolicy(handle, SCHED_IDLE, 0);
  if (priority == tpTimeCritical) {
    if (SetPolicy(handle, SCHED_FIFO, sched_get_priority_min(SCHED_FIFO))) return true;
    priority = tpHighest;  // real-time scheduling refused: the next best
  }
  // Leave a refused raise where it was, rather than in a class of its own.
  int currentPolicy = 0;
  sched_param current{};
  pthread_getschedparam(handle.thread, &currentPolicy, &current);
  if (!SetPolicy(handle, SCHED_OTHER, 0)) return false;
  if (SetNice(handle, NiceOffset(priority))) return true;
  pthread_setschedparam(handle.thread, currentPolicy, &current);
  return false;
}

#else

ThreadHandle CurrentThreadHandle() {
  return ThreadHandle{};
}

bool ApplyThreadPriority(const ThreadHandle&, TThreadPriority) {
  return false;
}

#endif

}  // namespace supertimer
