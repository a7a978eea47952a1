#include "app/HomeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

fs::path HomeLock::FileIn(const fs::path& home) {
  return home / "temp" / ".lock";
}

HomeLock::HomeLock(const fs::path& home) {
  std::error_code ec;
  fs::create_directories(home / "temp", ec);
  // Not inherited: a program the windows start (a help viewer) must not keep
  // the home locked after Korvanto ends.
  fd_ = ::open(FileIn(home).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return;
  int result;
  do {
    result = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::Held;
    return;
  }
  state_ = errno == EWOULDBLOCK ? State::Busy : State::Unavailable;
  ::close(fd_);
  fd_ = -1;
}

HomeLock::~HomeLock() {
  if (fd_ >= 0) ::close(fd_);
}

StartMode DecideStart(HomeLock::State lock, bool force) {
  switch (lock) {
    case HomeLock::State::Held:
      return StartMode::WithRecovery;
    case HomeLock::State::Busy:
      return force ? StartMode::WithoutRecovery : StartMode::Refused;
    case HomeLock::State::Unavailable:
      break;
  }
  return StartMode::WithoutRecovery;
}
