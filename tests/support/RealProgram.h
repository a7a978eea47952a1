#pragma once
// The real program started as a user starts it: on an X display of its own
// that nobody sees (Xvfb), its sound written to a file (SDL's disk driver),
// driven with keys typed through the X server (xdotool).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/Files.h"

extern char** environ;

// The program's path on PATH; empty when it isn't installed.
inline std::string FindOnPath(const std::string& program) {
  std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
  std::string folder;
  while (std::getline(path, folder, ':'))
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
      return folder + "/" + program;
  return "";
}

// A child process with its output in files. Started with SIGINT, SIGHUP and
// SIGTERM at their default actions, as from a terminal, whatever the test
// runner ignores. Killed when it goes, if still running.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& setEnv,
               const std::filesystem::path& out, const std::filesystem::path& err) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      bool replaced = false;
      for (const std::string& set : setEnv)
        replaced = replaced || entry.substr(0, entry.find('=')) == set.substr(0, set.find('='));
      if (!replaced) env.push_back(entry);
    }
    env.insert(env.end(), setEnv.begin(), setEnv.end());
    std::vector<char*> argv, envp;
    std::vector<std::string> argsCopy = args;
    for (std::string& a : argsCopy) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGHUP, SIGTERM, SIGQUIT, SIGPIPE}) sigaddset(&defaults, s);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    if (posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  ~ChildProcess() {
    if (pid_ <= 0 || status_) return;
    ::kill(pid_, SIGKILL);
    WaitFor(std::chrono::seconds(10));
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) const {
    if (pid_ > 0 && !status_) ::kill(pid_, signal);
  }
  // The wait status once it ended; nothing while it still runs after timeout.
  std::optional<int> WaitFor(std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!status_ && pid_ > 0) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) status_ = status;
      if (done != 0) break;
      if (std::chrono::steady_clock::now() > until) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
  }

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// An X server nobody sees, on a free display number it picks itself.
class HiddenDisplay {
 public:
  HiddenDisplay() {
    int ends[2];
    if (::pipe(ends) != 0) return;
    ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    server_ = std::make_unique<ChildProcess>(
        // The write end is inherited: it is not close-on-exec.
        std::vector<std::string>{FindOnPath("Xvfb"), "-displayfd", std::to_string(ends[1]),
                                 "-screen", "0", "1280x800x24", "-nolisten", "tcp"},
        std::vector<std::string>{}, "/dev/null", "/dev/null");
    ::close(ends[1]);
    std::string number;
    pollfd ready{ends[0], POLLIN, 0};
    char c;
    while (::poll(&ready, 1, 10000) == 1 && ::read(ends[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(ends[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  // ":N", empty when no server could start.
  const std::string& Name() const { return name_; }
  // The display goes away, as when a remote session's connection is lost.
  void Kill() {
    if (!server_) return;
    server_->Signal(SIGKILL);
    server_->WaitFor(std::chrono::seconds(10));
  }

 private:
  std::unique_ptr<ChildProcess> server_;
  std::string name_;
};
