#pragma once
// Sound for tests: every device opened gets its own manual capture tape, so
// a test can render and listen to exactly what that device mixed.
#include <memory>
#include <mutex>
#include <vector>

#include "kit/AudioOutput.h"
#include "kit/CaptureOutput.h"

class TestAudio {
 public:
  // Installs the capture factory; call once before any device opens.
  static void Install() {
    SetAudioOutputFactory([]() -> std::unique_ptr<AudioOutput> {
      auto tape = std::make_shared<CaptureTape>(CaptureTape::Settings{});
      std::lock_guard lock(Mutex());
      List().push_back(tape);
      return std::make_unique<CaptureOutput>(tape);
    });
  }
  // The tape of the most recently opened device.
  static std::shared_ptr<CaptureTape> LastTape() {
    std::lock_guard lock(Mutex());
    return List().empty() ? nullptr : List().back();
  }
  static std::vector<std::shared_ptr<CaptureTape>> Tapes() {
    std::lock_guard lock(Mutex());
    return List();
  }

 private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  static std::vector<std::shared_ptr<CaptureTape>>& List() {
    static std::vector<std::shared_ptr<CaptureTape>> tapes;
    return tapes;
  }
};
