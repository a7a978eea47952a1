#pragma once
// A fresh folder per test, removed afterwards.
#include <atomic>
#include <filesystem>
#include <string>
#include <unistd.h>

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("korvanto-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Makes a folder the current directory for a scope, as the program's home.
class CurrentDirScope {
 public:
  explicit CurrentDirScope(const std::filesystem::path& dir)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirScope() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};
