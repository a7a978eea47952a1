#pragma once
// The port through which the sound device reaches a sound output. The output
// pulls interleaved stereo float frames from the render callback.
#include <functional>
#include <memory>

class AudioOutput {
 public:
  // Fills frames interleaved stereo frames; runs on the output's own thread.
  using Render = std::function<void(float* out, int frames)>;

  virtual ~AudioOutput() = default;
  // Opens the device near the preferred rate; false when there is none.
  virtual bool Open(int preferredRate) = 0;
  // The rate and block length the device granted.
  virtual int Rate() const = 0;
  virtual int PeriodFrames() const = 0;
  // Whether callbacks follow the wall clock (then Play times place onsets).
  virtual bool RealTime() const = 0;
  virtual void Start(Render render) = 0;
  // Once it returns, render is not running and is not called again.
  virtual void Stop() = 0;
};

using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

// The program sets the factory once at start-up; tests set a capture one.
void SetAudioOutputFactory(AudioOutputFactory factory);
// A new output from the factory; null when no factory is set or it made none.
std::unique_ptr<AudioOutput> MakeAudioOutput();
