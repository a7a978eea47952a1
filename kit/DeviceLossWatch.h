#pragma once
// Watches the system's sound device on the UI thread: when it goes away (a
// USB headset unplugged, the sound server restarted) the user is told once,
// playing goes on silently where it stands, and the default device is opened
// again as soon as there is one.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "common/UiThread.h"

// A sound device that can go away and be opened again. UI thread only.
class LosableDevice {
 public:
  struct News {
    bool removed = false;  // the device in use went away
    bool added = false;    // some output device appeared
  };
  virtual ~LosableDevice() = default;
  // What the system said since the last call. The device stays usable for
  // the program after a removal: its outputs are paced without sound.
  virtual News Poll() = 0;
  // The name of the device in use, for the user.
  virtual std::string Name() const = 0;
  // Opens the default device again; true when sound goes to it.
  virtual bool Reopen() = 0;
};

class DeviceLossWatch {
 public:
  using Clock = std::chrono::steady_clock;
  using Tell = std::function<void(const std::string& message)>;

  static constexpr std::chrono::milliseconds kPoll{250};
  static constexpr std::chrono::seconds kRetry{1};

  // tell runs on the UI thread after the poll that found the loss.
  DeviceLossWatch(UiThread& ui, LosableDevice& device, Tell tell,
                  std::function<Clock::time_point()> now = &Clock::now);

  // One look at the device; the timer runs it every kPoll.
  void Check();
  bool Lost() const { return lost_; }

  // What the user is told when the named device went away.
  static std::string LostMessage(const std::string& device);

 private:
  void TryReopen();

  UiThread& ui_;
  LosableDevice& device_;
  Tell tell_;
  std::function<Clock::time_point()> now_;
  bool lost_ = false;
  Clock::time_point lastTry_{};
  std::unique_ptr<UiTimer> timer_;
};
