#include "song/StepClock.h"

#include <algorithm>
#include <cmath>

void StepClock::Start(Clock::time_point now) {
  onTransport_ = false;
  rate_ = sound_.FrameRate();
  start_ = now;
  seconds_ = 0;
  const auto frame = sound_.FrameForCall(now);
  onOutput_ = frame.has_value();
  firstFrame_ = frame.value_or(0);
}

void StepClock::StartAt(int64_t frameOfZero, double seconds) {
  rate_ = sound_.FrameRate();
  seconds_ = seconds;
  onOutput_ = true;
  onTransport_ = true;
  firstFrame_ = frameOfZero;
  start_ = Clock::now();
}

void StepClock::Advance(int intervalMs) {
  // The render's arithmetic: a step of 2 * tempo ms is that many thousandths.
  seconds_ += static_cast<double>(intervalMs) * 0.001;
}

void StepClock::CatchUp(Clock::time_point now) {
  if (!onOutput_) {
    const auto behind = now - CallTime();
    if (behind > std::chrono::milliseconds(5)) start_ += behind;
    return;
  }
  // A step a little late sounds late, alone; moving the song for it would
  // carry the delay into every later gap. Only a stall moves it.
  const int64_t stall = rate_ * 3 / 100;
  const auto earliest = sound_.EarliestFrame();
  const auto reachable = sound_.FrameForCall(now);
  if (!earliest || !reachable || Frame() >= *earliest - stall) return;
  firstFrame_ += *reachable - Frame();
}

int64_t StepClock::Frame() const {
  return FrameAt(seconds_);
}

int64_t StepClock::FrameAt(double seconds) const {
  return firstFrame_ + std::llround(seconds * rate_);
}

int64_t StepClock::DueFrame() const {
  return std::max<int64_t>(Frame() - std::llround(leadSeconds_ * rate_), firstFrame_);
}

PlaybackSound::StepPlace StepClock::Place() const {
  const int64_t due = DueFrame();
  return {CallTimeOf(due), onOutput_ ? Frame() : -1, 0, double(Frame() - due) / rate_,
          onTransport_ ? Frame() - firstFrame_ : -1};
}

PlaybackSound::StepPlace StepClock::PlaceMoved(double delaySeconds) const {
  const int64_t frame = FrameAt(std::max(0.0, seconds_ + delaySeconds));
  const int64_t due = DueFrame();
  return {CallTimeOf(due), onOutput_ ? frame : -1, 0, double(frame - due) / rate_,
          onTransport_ ? frame - firstFrame_ : -1};
}

StepClock::Clock::time_point StepClock::CallTime() const {
  return CallTimeOf(DueFrame());
}

StepClock::Clock::time_point StepClock::CallTimeOf(int64_t frame) const {
  if (onOutput_)
    if (const auto at = sound_.CallTimeFor(frame)) return *at;
  const auto sinceStart = static_cast<double>(frame - firstFrame_) / rate_;
  return start_ +
         std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(sinceStart));
}
