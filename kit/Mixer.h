#pragma once
// The software device's mixer. The UI thread sends commands through a
// lock-free queue; the output's callback calls Render, which drains them and
// adds every playing voice into the block. Render never allocates, blocks or
// touches files; all its memory is allocated here, before the output starts.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "kit/AudioOutput.h"
#include "kit/DevicePace.h"
#include "kit/MixerCommand.h"
#include "kit/MixerVoice.h"
#include "kit/OutputClock.h"
#include "kit/SpscQueue.h"

class Mixer {
 public:
  using Clock = std::chrono::steady_clock;

  struct Settings {
    int rate = 48000;
    int periodFrames = 240;
    // Real-time outputs place each voice by its Play time; others start it
    // at the next block.
    bool stamped = true;
    int slots = 512;
    // The output's blocks come exactly at their own times (a server's
    // cycle): a play needs one block and a millisecond of headroom, not two.
    bool exactBlockTimes = false;
  };

  explicit Mixer(const Settings& settings);

  int Rate() const { return rate_; }
  int PeriodFrames() const { return period_; }
  int Slots() const { return slots_; }
  // Whether voices are placed by the clock (a real-time output).
  bool Stamped() const { return stamped_; }
  // Time from a Play call to its onset: at least two periods and 2 ms of
  // headroom, more when the device asks for blocks further ahead of time
  // (several periods in a burst); learned from the callbacks, never shrinks.
  Clock::duration TriggerLatency() const {
    return Clock::duration(latencyShown_.load(std::memory_order_relaxed));
  }
  // The device's frames per clock second over its nominal rate: above 1 when
  // its crystal runs fast. 1 until the callbacks have shown it; learned
  // afresh after every phase step of the clock, and never beyond 300 ppm.
  double Pace() const { return pace_.load(std::memory_order_relaxed); }

  // ---- any thread: the output's frames against the clock ----
  // The frame a play made at `call` is placed at: its time plus the trigger
  // latency. Nothing while the output clock has not started.
  std::optional<int64_t> FrameForCall(Clock::time_point call) const;
  // When a play must be made to be placed at frame (the inverse).
  std::optional<Clock::time_point> CallTimeFor(int64_t frame) const;

  // ---- UI thread ----
  bool Send(const MixerCommand& command) { return queue_.TryPush(command); }
  uint64_t Sent() const { return queue_.Pushed(); }
  // Commands the render side has finished with: their data may be freed.
  uint64_t Consumed() const { return queue_.Consumed(); }
  VoiceReport Report(int slot) const {
    return VoiceReport::Unpack(reports_[slot].load(std::memory_order_acquire));
  }
  // Makes bytes written into a playing buffer visible to the next block.
  void PublishWrites() { dataEpoch_.fetch_add(1, std::memory_order_release); }

  // ---- level meters: written by the callback, read by any thread ----
  static constexpr int kMeters = 128;  // meter 0 is none
  // Whether voices tagged with a meter are measured (a little work each block).
  void SetMetering(bool on) { metering_.store(on, std::memory_order_relaxed); }
  bool Metering() const { return metering_.load(std::memory_order_relaxed); }
  // The highest sample a meter's voices reached since the last take (1 is full scale).
  float TakeMeterPeak(int meter) {
    if (meter <= 0 || meter >= kMeters) return 0.0f;
    return meterPeaks_[meter].exchange(0.0f, std::memory_order_relaxed);
  }
  // The output's highest sample since the last take, before it was held to
  // full scale, and how many blocks clipped since the start.
  float TakeOutputPeak() { return outputPeak_.exchange(0.0f, std::memory_order_relaxed); }
  int64_t ClippedBlocks() const { return clippedBlocks_.load(std::memory_order_relaxed); }

  // ---- output callback ----
  void Render(float* out, int frames) { Render(out, frames, Clock::now()); }
  void Render(float* out, int frames, Clock::time_point now);
  // As the output tells of the block: its time; voices of group g (their
  // meter; 0 without one) added to block.groups[g] as well, where it is not
  // null, out staying the sum of all; plays placed on the transport's frames.
  void Render(float* out, int frames, const AudioBlock& block);

  // ---- any thread ----
  // Blocks the device likely missed: callbacks more than a block late
  // against the smoothed clock (the thread was not scheduled in time), and
  // renders that took longer than the block lasts (the mixer was too slow).
  int64_t Underruns() const { return LateCallbacks() + SlowRenders(); }
  int64_t LateCallbacks() const { return lateCallbacks_.load(std::memory_order_relaxed); }
  int64_t SlowRenders() const { return slowRenders_.load(std::memory_order_relaxed); }
  int64_t LateStarts() const { return lateStarts_.load(std::memory_order_relaxed); }
  // Starts more than a block late right after the clock restarted (the
  // device came back after a gap): dropped rather than sounded together.
  int64_t DroppedStarts() const { return droppedStarts_.load(std::memory_order_relaxed); }
  // Blocks the device asked for late by a whole run at once: a server that
  // fell behind (its underrun) moves the clock in one step.
  int64_t PhaseSteps() const { return phaseSteps_.load(std::memory_order_relaxed); }
  // Sample bytes a finished block read are free once this has passed it.
  int64_t FramesRendered() const { return framesRendered_.load(std::memory_order_acquire); }
  // How long a stolen voice takes to fade out.
  int FadeFrames() const { return fadeFrames_; }

 private:
  void Apply(const MixerCommand& c, int64_t blockStart);
  void Start(const MixerCommand& c, int64_t blockStart);
  void Steal(int slot);
  void Activate(int slot);
  void Publish(int slot);
  void MixActive(float* out, int frames, int64_t blockStart);
  bool MixPlaying(MixerVoice& v, float* out, int frames);
  bool MixMetered(MixerVoice& v, float* out, int frames);
  bool MixFading(MixerVoice& v, float* out, int frames);
  float* GroupOf(const MixerVoice& v) const;
  void FollowTransport(const AudioBlock& block, int frames);
  bool PlaceOnTransport(MixerVoice& v, int64_t blockStart);
  void ClipOutput(float* out, int frames);
  void FollowDevice(double now, int frames);
  void LearnLatency(double now, int frames);
  void LearnPace(double now, bool stepped);
  void CountLateCallback(double late, double period);
  void PublishClock();
  struct ClockView {
    int64_t frame;
    double seconds, secondsPerFrame;
  };
  std::optional<ClockView> ReadClock() const;
  int64_t StartFrame(const MixerCommand& c, int64_t blockStart);
  double Seconds(Clock::time_point t) const;

  const int rate_;
  const int period_;
  const int slots_;
  const int fadeFrames_;
  const bool stamped_;
  const double headroom_;
  const bool exactBlockTimes_;
  const Clock::time_point origin_;

  SpscQueue<MixerCommand> queue_;
  std::unique_ptr<std::atomic<uint64_t>[]> reports_;
  std::atomic<uint64_t> dataEpoch_{0};

  // Render side only. The slots' voices, then those fading out after a steal.
  std::vector<MixerVoice> voices_;
  std::vector<uint16_t> active_;  // slots not idle, in no order
  std::vector<uint8_t> isActive_;
  std::vector<uint16_t> freeFading_;  // fading voices not in use
  OutputClock clock_;
  bool lateRun_ = false;  // the last callback was late too: one stall
  int64_t restartsSeen_ = 0, phaseStepsSeen_ = 0;
  int64_t restartFrame_ = 0;     // where the clock last (re)started
  Clock::time_point blockTime_;  // of this block's callback
  int64_t blockStart_ = 0;
  Clock::duration latency_;
  // s, in the time of the callbacks
  double lastRenderEnd_ = -std::numeric_limits<double>::infinity();

  std::atomic<Clock::rep> latencyShown_;
  std::atomic<int64_t> lateCallbacks_{0};
  std::atomic<int64_t> slowRenders_{0};
  std::atomic<int64_t> lateStarts_{0};
  std::atomic<int64_t> droppedStarts_{0};
  std::atomic<int64_t> phaseSteps_{0};
  // The clock as the last block left it, written under an odd sequence number.
  std::atomic<uint64_t> clockSequence_{0};
  std::atomic<bool> clockReady_{false};
  std::atomic<int64_t> clockFrame_{0};
  std::atomic<double> clockSeconds_{0}, clockSecondsPerFrame_{0};
  std::atomic<double> pace_{1.0};
  DevicePace paceSeen_;  // output callback only
  std::atomic<int64_t> framesRendered_{0};
  std::atomic<bool> metering_{false};
  bool meteringBlock_ = false;      // metering_ as this block read it
  float* const* groups_ = nullptr;  // this block's group mixes
  int groupCount_ = 0;
  const float* outStart_ = nullptr;  // the block's out, to place group frames alike
  bool hasTransport_ = false, rolling_ = false, relocated_ = false;
  int64_t transportPosition_ = 0, expectedPosition_ = -1;
  std::array<std::atomic<float>, kMeters> meterPeaks_{};
  std::atomic<float> outputPeak_{0.0f};
  std::atomic<int64_t> clippedBlocks_{0};
};
