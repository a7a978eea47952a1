#pragma once
// A JACK server of the test's own (dummy driver, no real time, a name no user's
// server has), started for a scope and stopped after it. Clients made inside
// the scope find it through JACK_DEFAULT_SERVER. Benchmarks may ask for a
// real-time server, as a studio runs (jackd falls back where it may not).
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <jack/jack.h>

extern char** environ;

class PrivateJack {
 public:
  explicit PrivateJack(int blockFrames = 256, int rate = 48000, bool realTime = false)
      : name_("korvanto-test-" + std::to_string(::getpid()) + "-" + std::to_string(Count()++)) {
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
    previous_ = std::getenv("JACK_DEFAULT_SERVER") ? std::getenv("JACK_DEFAULT_SERVER") : "";
    ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    running_ = pid_ > 0 && WaitForServer();
  }
  ~PrivateJack() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
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
  static int& Count() {
    static int count = 0;
    return count;
  }
  bool WaitForServer() {
    for (int tries = 0; tries < 100; ++tries) {
      jack_status_t status{};
      if (jack_client_t* probe =
              jack_client_open("korvanto-probe", jack_options_t(JackNoStartServer | JackServerName),
                               &status, name_.c_str())) {
        jack_client_close(probe);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  std::string name_;
  std::string previous_;
  pid_t pid_ = -1;
  bool running_ = false;
};
