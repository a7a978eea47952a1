#pragma once
// The system's default sound device through SDL2 (PipeWire, PulseAudio, ALSA
// or JACK): float stereo at the rate the device prefers (48000 or 44100),
// in blocks of about 5 ms or the smallest SDL grants.
#include <atomic>
#include <cstdint>

#include "kit/AudioOutput.h"

class SdlAudioOutput : public AudioOutput {
 public:
  SdlAudioOutput() = default;
  ~SdlAudioOutput() override;
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  bool Open(int preferredRate) override;
  int Rate() const override { return rate_; }
  int PeriodFrames() const override { return period_; }
  bool RealTime() const override { return true; }
  void Start(Render render) override;
  void Stop() override;

  // Blocks SDL asked for so far (for the adapter's own test).
  int64_t Callbacks() const { return callbacks_.load(); }

 private:
  static void Callback(void* self, uint8_t* stream, int bytes);

  uint32_t device_ = 0;
  int rate_ = 0;
  int period_ = 0;
  Render render_;
  std::atomic<int64_t> callbacks_{0};
};

// The factory the program installs at start-up.
AudioOutputFactory SdlAudioOutputFactory();
