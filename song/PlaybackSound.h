#pragma once
// How the playback engine sounds: cells through the instrument chooser, the
// sample slots and the device's primary format.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class PlaybackSound {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~PlaybackSound() = default;

  // Sounds a cell's text. at: the moment the step stands for (the end of its
  // timer's wait); plays are placed by it instead of by the call. Raises when
  // the cell cannot be sounded (a bad volume digit, an unknown kit entry, a
  // slot that cannot play).
  virtual void TriggerCell(const std::string& text, std::optional<Clock::time_point> at) = 0;
  virtual void StopSlot(int slot) = 0;
  // The result is not checked: playback goes on with the format the device kept.
  virtual void SetPrimaryFormat(const std::vector<uint8_t>& format) = 0;
  // How fast the device's clock runs against the steady clock: the players'
  // timers count steps on it, so a recording of the output keeps the tempo.
  virtual double DevicePace() const { return 1.0; }
};
