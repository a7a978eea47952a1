#pragma once
// The system's default sound device through SDL2 (PipeWire, PulseAudio or
// ALSA): float stereo at the rate the device prefers (48000 or 44100), in
// blocks of 256 frames or the smallest SDL grants.
//
// Every window's sound device is one SdlAudioOutput, but they all share one
// SDL device: some systems (and SDL's own dummy driver) open the default
// device only once. Its callback sums what each started output renders.
// When that device goes away the outputs go on being called at its pace
// without sound until SdlSoundDevice() opens the default device again.
#include <atomic>
#include <cstdint>

#include "kit/AudioOutput.h"
#include "kit/DeviceLossWatch.h"

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

  // Called by the shared device for a started output.
  void RenderInto(float* out, int frames);

 private:
  bool opened_ = false;
  bool started_ = false;
  int rate_ = 0;
  int period_ = 0;
  Render render_;
  std::atomic<int64_t> callbacks_{0};
};

// The factory the program installs at start-up.
AudioOutputFactory SdlAudioOutputFactory();
// The outputs SDL offers, for Preferences: choosing one reopens the shared
// device there, the outputs playing on. About 5 ms blocks (256 frames)
// unless chosen otherwise; a sound server keeps a margin of its own.
class SoundOutputs;
SoundOutputs& SdlSoundOutputs();
// The shared device, for the watch that tells of its loss and reopens it.
LosableDevice& SdlSoundDevice();
// The program ends by exit(): the shared device closes, its callback and the
// stand-in thread end. Any thread.
void EndSdlSoundDevice();
// SDL's id of the shared device while it is open, else 0 (for tests).
uint32_t SdlSoundDeviceId();
