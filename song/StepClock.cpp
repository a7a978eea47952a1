#include "song/StepClock.h"

#include <cmath>

void StepClock::Start(Clock::time_point now) {
  rate_ = sound_.FrameRate();
  start_ = now;
  seconds_ = 0;
  const auto frame = sound_.FrameForCall(now);
  onOutput_ = frame.has_value();
  firstFrame_ = frame.value_or(0);
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
  return firstFrame_ + std::llround(seconds_ * rate_);
}

PlaybackSound::StepPlace StepClock::Place() const {
  return {CallTime(), onOutput_ ? Frame() : -1};
}

StepClock::Clock::time_point StepClock::CallTime() const {
  if (onOutput_)
    if (const auto at = sound_.CallTimeFor(Frame())) return *at;
  const auto sinceStart = static_cast<double>(Frame() - firstFrame_) / rate_;
  return start_ +
         std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(sinceStart));
}
