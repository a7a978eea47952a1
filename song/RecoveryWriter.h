#pragma once
// Writes the recovery copies on a thread of its own, so that a slow or busy
// disk (a home folder on a network share) never holds up the window: the
// window builds each tick's work, which takes microseconds, and hands it over.
// Only the latest work waits; an older one not yet written is dropped.
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "song/RecoveryFiles.h"

class RecoveryWriter {
 public:
  // trouble is told, on the writer's thread, why a copy couldn't be written.
  RecoveryWriter(const std::filesystem::path& home, const std::string& folder,
                 std::function<void(const std::string& message)> trouble);
  // Writes what was handed over, then ends the thread.
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  // Returns at once; the copies follow.
  void Keep(RecoveryWork work);
  // Waits until the work handed over is on disk.
  void Flush();
  // The clean end: the work handed over is dropped and every copy goes; no
  // write comes after it.
  void Remove();
  // Writes what was handed over and ends the thread (the program ends by
  // exit(), before the statics go); later work is written at once, on the
  // caller's thread.
  void End();

 private:
  void Run();
  void Write(const RecoveryWork& work);

  RecoveryFiles files_;
  std::function<void(const std::string&)> trouble_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<RecoveryWork> pending_;
  bool busy_ = false;
  bool ending_ = false;
  std::thread thread_;
};
