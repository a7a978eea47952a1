#pragma once
// An output that records what the mixer produces, for tests, measurement and
// recording. The tape is shared so that its owner can read it while the
// sound device owns the output. Paced tapes render on their own thread at
// real-time due times; manual tapes render when asked, as fast as asked.
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "kit/AudioOutput.h"

class CaptureTape {
 public:
  using Clock = std::chrono::steady_clock;
  enum class Pacing { Manual, RealTime };

  struct Settings {
    int rate = 48000;
    int periodFrames = 240;
    Pacing pacing = Pacing::Manual;
    // Paced tapes: blocks asked for back to back at each wake-up, as sound
    // servers that pull a quantum of several periods at once do.
    int burstPeriods = 1;
    bool refuseOpen = false;  // behaves like a machine without sound
    // Paced tapes: once, at this frame, the thread stalls for stallMs and the
    // device plays on that much later from then (a server that fell behind).
    int64_t stallAtFrame = -1;
    int stallMs = 0;
  };

  explicit CaptureTape(const Settings& settings);
  ~CaptureTape();

  const Settings& settings() const { return settings_; }

  // Manual tapes: renders frames now on the calling thread. False when no
  // output is started on the tape.
  bool RenderFrames(int frames);
  // Keeps room for this many frames so recording never reallocates.
  void Reserve(size_t frames);

  // The recorded interleaved stereo samples.
  std::vector<float> Samples() const;
  size_t FramesRecorded() const;
  void Clear();
  // Clock time at which frame 0 was due (paced tapes).
  Clock::time_point StartTime() const;
  // The recording as a 16-bit stereo WAV file, replaced only when complete.
  void SaveWav(const std::filesystem::path& path) const;

  // Output side.
  void Start(AudioOutput::Render render);
  void Stop();

 private:
  void Run(Clock::time_point start);
  void RenderBlock(int frames);

  const Settings settings_;
  mutable std::mutex mutex_;  // samples_, startTime_
  std::vector<float> samples_;
  std::vector<float> block_;
  Clock::time_point startTime_{};

  std::mutex renderMutex_;  // held while rendering a block on a manual tape
  AudioOutput::Render render_;
  std::thread thread_;
  std::mutex stopMutex_;
  std::condition_variable stopSignal_;
  bool stopping_ = false;
};

class CaptureOutput : public AudioOutput {
 public:
  explicit CaptureOutput(std::shared_ptr<CaptureTape> tape) : tape_(std::move(tape)) {}
  ~CaptureOutput() override { Stop(); }

  bool Open(int preferredRate) override;
  int Rate() const override { return tape_->settings().rate; }
  int PeriodFrames() const override { return tape_->settings().periodFrames; }
  bool RealTime() const override {
    return tape_->settings().pacing == CaptureTape::Pacing::RealTime;
  }
  void Start(Render render) override;
  void Stop() override;

 private:
  std::shared_ptr<CaptureTape> tape_;
  bool started_ = false;
};

// A factory that hands out outputs recording on the tape.
AudioOutputFactory CaptureFactory(std::shared_ptr<CaptureTape> tape);
