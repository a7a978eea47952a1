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

// Above normal, a worker is scheduled in real time where the process may do
// so: only that wakes it promptly on a busy machine. Otherwise, and below
// normal, it gets a nice level relative to the process's own.
struct PlatformPriority {
  int policy;
  int realTime;  // real-time level; 0 for none
  int nice;      // offset from the process's level
};

PlatformPriority Map(TThreadPriority priority) {
  switch (priority) {
    case tpIdle:
      return {SCHED_IDLE, 0, 0};
    case tpLowest:
      return {SCHED_OTHER, 0, 10};
    case tpLower:
      return {SCHED_OTHER, 0, 5};
    case tpHigher:
      return {SCHED_FIFO, 1, -5};
    case tpHighest:
      return {SCHED_FIFO, 2, -10};
    case tpTimeCritical:
      return {SCHED_FIFO, 15, -15};
    default:
      return {SCHED_OTHER, 0, 0};
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
  const PlatformPriority wanted = Map(priority);
  if (wanted.policy == SCHED_IDLE) return SetPolicy(handle, SCHED_IDLE, 0);
  if (wanted.policy == SCHED_FIFO && SetPolicy(handle, SCHED_FIFO, wanted.realTime)) return true;
  // A refused raise leaves the thread where it was.
  int policy = 0;
  sched_param current{};
  pthread_getschedparam(handle.thread, &policy, &current);
  if (!SetPolicy(handle, SCHED_OTHER, 0)) return false;
  if (SetNice(handle, wanted.nice)) return true;
  pthread_setschedparam(handle.thread, policy, &current);
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
