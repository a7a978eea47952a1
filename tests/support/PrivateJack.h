#pragma once
// A JACK server of the test's own (dummy driver, no real time, a name no user's
// server has), started for a scope and stopped after it. Clients made inside
// the scope find it through JACK_DEFAULT_SERVER. Benchmarks may ask for a
// real-time server, as a studio runs (jackd falls back where it may not).
//
// JACK keeps eight servers in a machine-wide registry, and frees the entry of
// a server that died without stopping (a test process killed, a machine
// stopped) only when a server of the same name starts. So names come from a
// small pool, each held by a lock file while in use: a name left behind is
// taken again, and its entry with it. jackd inherits the lock, so a server
// orphaned by a crashed test keeps its name to itself until it ends.
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <jack/jack.h>

extern char** environ;

class PrivateJack {
 public:
  static constexpr int kNames = 16;

  explicit PrivateJack(int blockFrames = 256, int rate = 48000, bool realTime = false) {
    for (int slot = 0; slot < kNames && !running_; ++slot) {
      if (!LockName(slot)) continue;
      name_ = "korvanto-test-" + std::to_string(slot);
      running_ = Start(blockFrames, rate, realTime) && WaitForServer();
      if (!running_) Stop();
    }
    previous_ = std::getenv("JACK_DEFAULT_SERVER") ? std::getenv("JACK_DEFAULT_SERVER") : "";
    ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    ::setenv("JACK_NO_START_SERVER", "1", 1);
  }
  ~PrivateJack() {
    Stop();
    if (previous_.empty())
      ::unsetenv("JACK_DEFAULT_SERVER");
    else
      ::setenv("JACK_DEFAULT_SERVER", previous_.c_str(), 1);
  }
  PrivateJack(const PrivateJack&) = delete;
  PrivateJack& operator=(const PrivateJack&) = delete;

  bool running() const { return running_; }
  const std::string& name() const { return name_; }

 private:
  bool LockName(int slot) {
    const std::string path = "/tmp/korvanto-test-jack-" + std::to_string(slot) + ".lock";
    lock_ = ::open(path.c_str(), O_RDWR | O_CREAT, 0666);
    if (lock_ >= 0 && ::flock(lock_, LOCK_EX | LOCK_NB) == 0) return true;
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
    return false;
  }

  bool Start(int blockFrames, int rate, bool realTime) {
    const std::string block = std::to_string(blockFrames);
    const std::string sampleRate = std::to_string(rate);
    const char* argv[] = {"jackd", realTime ? "--realtime" : "--no-realtime",
                          "-n", name_.c_str(), "-d", "dummy", "-r", sampleRate.c_str(),
                          "-p", block.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, "jackd", &actions, nullptr, const_cast<char**>(argv), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid_ > 0;
  }

  // The server answers under its name while our jackd still runs (one that
  // could not start ends at once: the registry full, say).
  bool WaitForServer() {
    for (int tries = 0; tries < 100; ++tries) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
      }
      jack_status_t jackStatus{};
      if (jack_client_t* probe =
              jack_client_open("korvanto-probe", jack_options_t(JackNoStartServer | JackServerName),
                               &jackStatus, name_.c_str())) {
        jack_client_close(probe);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  void Stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
  }

  std::string name_;
  std::string previous_;
  pid_t pid_ = -1;
  int lock_ = -1;
  bool running_ = false;
};
