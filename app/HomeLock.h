#pragma once
// One program per home folder. Two programs in one home would fight over the
// slots' work files, the recovery files and Panning.dat, so the windows hold
// an exclusive lock on temp/.lock while they run. The kernel releases it when
// the process ends, however it ends: a crash leaves no stale lock. The
// command-line commands don't take it; they use work files of their own.
#include <filesystem>

inline constexpr const char* kAlreadyRunning = "Korvanto is already running in this folder.";

class HomeLock {
 public:
  enum class State {
    Held,         // this program holds it
    Busy,         // another program holds it
    Unavailable,  // the lock file can't be made (a read-only home)
  };

  // Makes the temp folder when it is missing and tries the lock once.
  explicit HomeLock(const std::filesystem::path& home);
  ~HomeLock();
  HomeLock(const HomeLock&) = delete;
  HomeLock& operator=(const HomeLock&) = delete;

  State Get() const { return state_; }
  static std::filesystem::path FileIn(const std::filesystem::path& home);

 private:
  int fd_ = -1;
  State state_ = State::Unavailable;
};

// How the windows start. Without the lock they keep no recovery files: those
// of the program that holds it are not theirs to offer, write or remove.
enum class StartMode { WithRecovery, WithoutRecovery, Refused };

// A busy home refuses the windows unless forced ("--force").
StartMode DecideStart(HomeLock::State lock, bool force);
