#pragma once
// The port through which the sound device reaches a sound output. The output
// pulls interleaved stereo float frames from the render callback.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

// What an output tells its renderer about the block being rendered: the clock
// time the block stands for, and where voices of each group (the mixer's
// meter index; 0 for voices without one) are added besides the main mix.
// Read on the output's thread, inside the render.
struct AudioBlock {
  std::chrono::steady_clock::time_point time;
  float* const* groups = nullptr;  // interleaved stereo, null where not taken
  int groupCount = 0;
  // A server's transport, where the output has one: whether it rolls, and
  // its frame at the block's first frame.
  bool hasTransport = false;
  bool rolling = false;
  int64_t transportPosition = 0;
};

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
  // Whether blocks come exactly at the times Block() gives (a server's cycle
  // times), so plays need no margin for callback jitter.
  virtual bool ExactBlockTimes() const { return false; }
  // The block being rendered; called from inside the render.
  virtual AudioBlock Block() const { return {std::chrono::steady_clock::now()}; }
  virtual void Start(Render render) = 0;
  // Once it returns, render is not running and is not called again.
  virtual void Stop() = 0;
};

using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

// The program sets the factory once at start-up; tests set a capture one.
void SetAudioOutputFactory(AudioOutputFactory factory);
// A new output from the factory; null when no factory is set or it made none.
std::unique_ptr<AudioOutput> MakeAudioOutput();
