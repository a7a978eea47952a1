#include "midi/WakeSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

WakeSignal::WakeSignal() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeSignal::~WakeSignal() {
  if (fd_ >= 0) ::close(fd_);
}

void WakeSignal::Notify() {
  if (fd_ < 0) return;
  const uint64_t one = 1;
  // A full counter already wakes the reader: a failed write loses nothing.
  [[maybe_unused]] const auto written = ::write(fd_, &one, sizeof one);
}

void WakeSignal::Clear() {
  if (fd_ < 0) return;
  uint64_t count = 0;
  [[maybe_unused]] const auto read = ::read(fd_, &count, sizeof count);
}
