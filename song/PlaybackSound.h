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

  // Where a step's hit sounds: the moment its plays are due and, when the
  // output counts frames, the frame it was placed at there (-1: placed by the
  // moment, afterDue later).
  struct StepPlace {
    Clock::time_point at;
    int64_t frame = -1;
    int quieterTenthDb = 0;       // the groove's humanize: a kit hit this much below its level
    double afterDue = 0;          // seconds after `at` that it sounds: the groove moves it
    int64_t transportFrame = -1;  // following a transport: its frame there; -1: none
  };

  virtual ~PlaybackSound() = default;

  // Sounds a cell's text. at: where the step sounds; plays are placed by it
  // instead of by the call. Raises when the cell cannot be sounded (a bad
  // volume digit, an unknown kit entry, a slot that cannot play).
  virtual void TriggerCell(const std::string& text, std::optional<StepPlace> at) = 0;
  virtual void StopSlot(int slot) = 0;
  // The metronome's click on a beat of the step placed at `at` (accent: the
  // bar's first). Only a live output has one.
  virtual void Click(bool /*accent*/, const StepPlace& /*at*/) {}
  // The result is not checked: playback goes on with the format the device kept.
  virtual void SetPrimaryFormat(const std::vector<uint8_t>& format) = 0;

  // The frames the players place their steps in, per second.
  virtual int FrameRate() const { return 48000; }
  // The output frame a play made at `call` is placed at; nothing while the
  // output counts no frames (the steps are then placed by their moments).
  virtual std::optional<int64_t> FrameForCall(Clock::time_point) const { return std::nullopt; }
  // When a play must be made to sound at frame; nothing: by the rate alone.
  virtual std::optional<Clock::time_point> CallTimeFor(int64_t) const { return std::nullopt; }
  // The earliest frame a play made now can still start at.
  virtual std::optional<int64_t> EarliestFrame() const { return std::nullopt; }
  // The output frame heard at `now`; nothing while the output counts no
  // frames (the steps are then heard at their moments).
  virtual std::optional<int64_t> HeardFrame(Clock::time_point) const { return std::nullopt; }
  // The frame a step's plays made now start at (-1: by its moment).
  virtual int64_t SoundFrame(const StepPlace& place) const { return place.frame; }
  // When a play placed there is heard: its moment, the move and the
  // output's latency after it.
  virtual Clock::time_point SoundTime(const StepPlace& place) const {
    return place.at + std::chrono::duration_cast<Clock::duration>(
                          std::chrono::duration<double>(place.afterDue));
  }
};
