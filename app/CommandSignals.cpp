#include "app/CommandSignals.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

#include "common/PrivateFolder.h"

namespace {

sigset_t Watched() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
      sigaddset(&set, signal);
  }
  return set;
}

}  // namespace

void RemoveWorkOnSignals() {
  const sigset_t watched = Watched();
  if (::pthread_sigmask(SIG_BLOCK, &watched, nullptr) != 0) return;
  std::thread([watched] {
    int signal = 0;
    if (::sigwait(&watched, &signal) != 0) return;
    RemoveWorkInProgress();
    // Ended as the signal ends a program: the shell sees which one.
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
  }).detach();
}
