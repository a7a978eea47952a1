#pragma once
// A JACK server of the test's own (dummy driver, no real time, a name no user's
// server has), started for a scope and stopped after it. Clients made inside
// the scope find it through JACK_DEFAULT_SERVER. Benchmarks may ask for a
// real-time server, as a studio runs (jackd falls back where it may not).
//
// JACK keeps eight servers in a machine-wide registry and frees the entry of
// one that died without stopping (a test process killed, a machine stopped)
// only when a server of the same name starts, which a test's name never
// does again. So before starting, the entries of test servers whose process
// is gone are cleared, under the registry's own lock; a user's are never
// touched, and a registry laid out otherwise is left alone.
#include <fcntl.h>
#include <jack/jack.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/sem.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

class PrivateJack {
 public:
  explicit PrivateJack(int blockFrames = 256, int rate = 48000, bool realTime = false)
      : name_("korvanto-test-" + std::to_string(::getpid()) + "-" + std::to_string(Count()++)) {
    const std::string block = std::to_string(blockFrames);
    const std::string sampleRate = std::to_string(rate);
    const char* argv[] = {"jackd", realTime ? "--realtime" : "--no-realtime",
                          "-n",    name_.c_str(),
                          "-d",    "dummy",
                          "-r",    sampleRate.c_str(),
                          "-p",    block.c_str(),
                          nullptr};
    ForgetDeadTestServers();
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
  // A process that ended but was never waited for (a zombie) is gone too.
  static bool Alive(pid_t pid) {
    if (::kill(pid, 0) != 0 && errno == ESRCH) return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
  }

  static void ForgetDeadTestServers() {
    constexpr uint32_t kMagic = 0x4A41434B;  // "JACK"
    constexpr int kServers = 8;
    constexpr key_t kRegistryLock = 0x282929;
    const int fd = ::open("/dev/shm/jack-shm-registry", O_RDWR);
    if (fd < 0) return;
    struct stat info {};
    void* mapped = MAP_FAILED;
    if (::fstat(fd, &info) == 0 && info.st_size >= 24)
      mapped = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ | PROT_WRITE,
                      MAP_SHARED, fd, 0);
    ::close(fd);
    if (mapped == MAP_FAILED) return;
    auto* bytes = static_cast<char*>(mapped);
    uint32_t header[6];
    std::memcpy(header, bytes, sizeof header);
    const uint32_t stride = (header[4] - 24) / kServers;
    const int lock = ::semget(kRegistryLock, 1, 0);
    sembuf take{0, -1, SEM_UNDO}, give{0, 1, SEM_UNDO};
    if (header[0] == kMagic && header[4] <= info.st_size && stride >= 260 && lock >= 0 &&
        ::semop(lock, &take, 1) == 0) {
      for (int i = 0; i < kServers; ++i) {
        char* entry = bytes + 24 + static_cast<size_t>(i) * stride;
        pid_t pid = 0;
        std::memcpy(&pid, entry, sizeof pid);
        const std::string name(entry + sizeof pid,
                               strnlen(entry + sizeof pid, stride - sizeof pid));
        const bool gone = pid > 0 && !Alive(pid);
        if (gone && name.find(":korvanto-test-") != std::string::npos)
          std::memset(entry, 0, stride);
      }
      ::semop(lock, &give, 1);
    }
    ::munmap(mapped, static_cast<size_t>(info.st_size));
  }

  static int& Count() {
    static int count = 0;
    return count;
  }
  // A server that has just come up may turn the next client away: it is
  // ready once it took two clients in a row, 100 ms apart.
  bool WaitForServer() {
    int answered = 0;
    for (int tries = 0; tries < 100 && answered < 2; ++tries) {
      jack_status_t status{};
      jack_client_t* probe =
          jack_client_open("korvanto-probe", jack_options_t(JackNoStartServer | JackServerName),
                           &status, name_.c_str());
      answered = probe ? answered + 1 : 0;
      if (probe) jack_client_close(probe);
      std::this_thread::sleep_for(std::chrono::milliseconds(probe ? 100 : 50));
    }
    return answered == 2;
  }

  std::string name_;
  std::string previous_;
  pid_t pid_ = -1;
  bool running_ = false;
};
