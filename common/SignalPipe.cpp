#include "common/SignalPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<int> g_writeEnd{-1};

extern "C" void WriteSignal(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // A full pipe already holds a signal to act on: the byte may go.
  const ssize_t ignored = ::write(g_writeEnd.load(), &byte, 1);
  (void)ignored;
  errno = saved;
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> signals) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_ = ends[0];
  write_ = ends[1];
  g_writeEnd = write_;
  for (int signal : signals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(signal, &action, &current) != 0) continue;
    caught_.push_back(signal);
    previous_.push_back(current);
  }
}

SignalPipe::~SignalPipe() {
  for (size_t i = 0; i < caught_.size(); ++i) ::sigaction(caught_[i], &previous_[i], nullptr);
  g_writeEnd = -1;
  if (read_ >= 0) ::close(read_);
  if (write_ >= 0) ::close(write_);
}

int SignalPipe::Take() {
  if (read_ < 0) return 0;
  unsigned char byte = 0;
  ssize_t got;
  do {
    got = ::read(read_, &byte, 1);
  } while (got < 0 && errno == EINTR);
  return got == 1 ? byte : 0;
}
