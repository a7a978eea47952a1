#include "kit/AudioThreadPriority.h"

#include <pthread.h>
#include <sched.h>

void RaiseToAudioPriority() {
  sched_param param{};
  param.sched_priority = 20;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);  // refused: keep the default
}
