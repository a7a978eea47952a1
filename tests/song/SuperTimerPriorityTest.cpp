#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <thread>

#include "song/SuperTimerPriority.h"

namespace {

struct Observed {
  bool took = false;
  int policy = -1;
  int realTime = -1;
  int nice = 0;
};

// Applies the priority to a fresh thread and reads back what the platform did.
Observed ApplyOnAThread(TThreadPriority priority) {
  Observed observed;
  std::thread([&] {
    const auto self = supertimer::CurrentThreadHandle();
    observed.took = supertimer::ApplyThreadPriority(self, priority);
    sched_param param{};
    pthread_getschedparam(pthread_self(), &observed.policy, &param);
    observed.realTime = param.sched_priority;
    observed.nice = getpriority(PRIO_PROCESS, static_cast<id_t>(self.kernelId));
  }).join();
  return observed;
}

}  // namespace

TEST(ThreadPriority, LoweringIsAlwaysTaken) {
  const int base = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
  const Observed lower = ApplyOnAThread(tpLower);
  EXPECT_TRUE(lower.took);
  EXPECT_EQ(lower.policy, SCHED_OTHER);
  EXPECT_EQ(lower.nice, std::min(base + 5, 19));
  const Observed idle = ApplyOnAThread(tpIdle);
  EXPECT_TRUE(idle.took);
  EXPECT_EQ(idle.policy, SCHED_IDLE);
}

TEST(ThreadPriority, RaisingIsRealTimeOrNiceOrNothing) {
  const int base = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
  for (const auto& [priority, realTime, nice] :
       {std::tuple{tpHigher, 1, -5}, {tpHighest, 2, -10}, {tpTimeCritical, 15, -15}}) {
    const Observed raised = ApplyOnAThread(priority);
    if (raised.policy == SCHED_FIFO) {
      EXPECT_TRUE(raised.took);
      EXPECT_EQ(raised.realTime, realTime);
    } else {
      EXPECT_EQ(raised.policy, SCHED_OTHER);
      EXPECT_EQ(raised.nice, raised.took ? std::max(base + nice, -20) : base);
    }
  }
}
