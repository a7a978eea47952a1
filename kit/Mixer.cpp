#include "kit/Mixer.h"

#include <algorithm>
#include <cmath>

#include "kit/DenormalGuard.h"
#include "kit/SoundTrouble.h"

namespace {

// Covers the hand-over of a tick to the UI thread and the call itself.
constexpr double kHeadroom = 0.002;
// An output whose blocks come at exact times only needs the hand-over. It
// stays a frame or two under 1 ms, so that a frame of rounding between the
// server's clock and ours never takes a play past a block and 1 ms.
constexpr double kExactHeadroom = 0.00095;
// Exact block times further off the clock's than this are a new phase.
constexpr double kExactSnap = 0.0003;
// The first half second of a device's callbacks (its buffer filling up) does
// not show how it delivers later.
constexpr double kSettleSeconds = 0.5;
constexpr double kPaceSettleSeconds = 2.0;
// No crystal a sound device runs on is further off; a larger figure is a
// stall or a burst read as a rate.
constexpr double kMostPaceError = 0.0003;
constexpr double kFadeSeconds = 0.003;

float FormatScale(SampleKind kind) {
  switch (kind) {
    case SampleKind::U8:
      return 1.0f / 128.0f;
    case SampleKind::S16:
      return 1.0f / 32768.0f;
    case SampleKind::S24:
      return 1.0f / 8388608.0f;
    case SampleKind::S32:
      return 1.0f / 2147483648.0f;
    case SampleKind::F32:
      return 1.0f;
  }
  return 0.0f;
}

void SetParams(MixerVoice& v, const MixerCommand& c, int outputRate) {
  const uint32_t frequency = c.frequency ? c.frequency : v.layout.rate;
  v.step = ResampleStep(frequency, static_cast<uint32_t>(outputRate));
  PanVolumeGains(c.volume + c.mixLevel, c.pan, v.gainLeft, v.gainRight);
  v.meter = c.meter < Mixer::kMeters ? c.meter : 0;
  const float scale = FormatScale(v.layout.kind);
  v.gainLeft *= scale;
  v.gainRight *= scale;
}

}  // namespace

Mixer::Mixer(const Settings& s)
    : rate_(s.rate),
      period_(s.periodFrames),
      slots_(s.slots),
      fadeFrames_(std::max(1, static_cast<int>(s.rate * kFadeSeconds))),
      stamped_(s.stamped),
      headroom_(s.exactBlockTimes ? kExactHeadroom : kHeadroom),
      exactBlockTimes_(s.exactBlockTimes),
      origin_(Clock::now()),
      queue_(8192),
      reports_(std::make_unique<std::atomic<uint64_t>[]>(s.slots)),
      // Every slot's voice can be fading out at once after as many steals.
      voices_(2 * static_cast<size_t>(s.slots)),
      isActive_(2 * static_cast<size_t>(s.slots), 0),
      latency_(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
          (s.exactBlockTimes ? 1.0 : 2.0) * s.periodFrames / s.rate + headroom_))),
      latencyShown_(latency_.count()) {
  active_.reserve(voices_.size());
  freeFading_.reserve(s.slots);
  for (int f = 2 * s.slots - 1; f >= s.slots; --f) freeFading_.push_back(static_cast<uint16_t>(f));
  for (int i = 0; i < s.slots; ++i) reports_[i].store(0);
}

double Mixer::Seconds(Clock::time_point t) const {
  return std::chrono::duration<double>(t - origin_).count();
}

void Mixer::Render(float* out, int frames, Clock::time_point now) {
  AudioBlock block;
  block.time = now;
  Render(out, frames, block);
}

void Mixer::Render(float* out, int frames, const AudioBlock& block) {
  const Clock::time_point now = block.time;
  groups_ = block.groups;
  groupCount_ = block.groups ? block.groupCount : 0;
  FollowTransport(block, frames);
  DenormalGuard flushDenormals;
  const auto renderStart = Clock::now();
  blockTime_ = now;
  if (stamped_) FollowDevice(Seconds(now), frames);
  dataEpoch_.load(std::memory_order_acquire);
  MixerCommand command;
  while (queue_.TryPop(command)) Apply(command, blockStart_);

  std::fill(out, out + 2 * static_cast<size_t>(frames), 0.0f);
  meteringBlock_ = metering_.load(std::memory_order_relaxed);
  outStart_ = out;
  MixActive(out, frames, blockStart_);
  ClipOutput(out, frames);

  blockStart_ += frames;
  framesRendered_.store(blockStart_, std::memory_order_release);
  if (!stamped_) return;
  const double took = std::chrono::duration<double>(Clock::now() - renderStart).count();
  lastRenderEnd_ = Seconds(now) + took;
  // A block that took longer than its own length starves the device.
  if (took > static_cast<double>(frames) / rate_) {
    slowRenders_.fetch_add(1, std::memory_order_relaxed);
    soundtrouble::AddSlowRender();
  }
}

void Mixer::FollowDevice(double now, int frames) {
  const double period = static_cast<double>(frames) / rate_;
  // Asked for right after the last block ended: the device pulls a burst.
  bool backToBack = now - lastRenderEnd_ < period / 4;
  // A server's cycle times are exact: after an xrun the clock takes the new
  // phase at once rather than following it slowly.
  if (exactBlockTimes_) {
    backToBack = false;
    if (clock_.Ready() &&
        std::abs(now - clock_.TimeAt(static_cast<double>(blockStart_))) > kExactSnap)
      clock_.Reset();
  }
  const double late = clock_.OnBlock(now, blockStart_, frames, rate_, backToBack);
  CountLateCallback(late, period);
  const bool phaseStep = clock_.PhaseSteps() != phaseStepsSeen_;
  if (phaseStep) {
    phaseSteps_.fetch_add(1, std::memory_order_relaxed);
    soundtrouble::AddServerUnderrun(blockTime_);
  }
  const bool restarted = clock_.Restarts() != restartsSeen_;
  phaseStepsSeen_ = clock_.PhaseSteps();
  restartsSeen_ = clock_.Restarts();
  if (restarted) restartFrame_ = blockStart_;
  LearnLatency(now, frames);
  LearnPace(now, phaseStep || restarted);
  PublishClock();
}

// One stall makes several callbacks in a row late against the loop, which
// follows slowly: the run counts once.
void Mixer::CountLateCallback(double late, double period) {
  const bool isLate = late > period;
  if (isLate && !lateRun_) {
    lateCallbacks_.fetch_add(1, std::memory_order_relaxed);
    soundtrouble::AddLateCallback(blockTime_);
  }
  lateRun_ = isLate;
}

void Mixer::PublishClock() {
  const double nominal = 1.0 / rate_;
  const double perFrame = std::clamp(clock_.SecondsPerFrame(), nominal * (1 - kMostPaceError),
                                     nominal * (1 + kMostPaceError));
  clockSequence_.fetch_add(1);
  clockFrame_.store(blockStart_);
  clockSeconds_.store(clock_.TimeAt(static_cast<double>(blockStart_)));
  clockSecondsPerFrame_.store(perFrame);
  clockReady_.store(clock_.Ready());
  clockSequence_.fetch_add(1);
}

std::optional<Mixer::ClockView> Mixer::ReadClock() const {
  for (;;) {
    const uint64_t before = clockSequence_.load();
    if (before & 1) continue;
    const bool ready = clockReady_.load();
    const ClockView view{clockFrame_.load(), clockSeconds_.load(), clockSecondsPerFrame_.load()};
    if (clockSequence_.load() != before) continue;
    if (!ready || !stamped_) return std::nullopt;
    return view;
  }
}

std::optional<int64_t> Mixer::FrameForCall(Clock::time_point call) const {
  const auto view = ReadClock();
  if (!view) return std::nullopt;
  const double at = Seconds(call + TriggerLatency());
  return view->frame + std::llround((at - view->seconds) / view->secondsPerFrame);
}

std::optional<Mixer::Clock::time_point> Mixer::CallTimeFor(int64_t frame) const {
  const auto view = ReadClock();
  if (!view) return std::nullopt;
  const double at =
      view->seconds + static_cast<double>(frame - view->frame) * view->secondsPerFrame;
  return origin_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(at)) -
         TriggerLatency();
}

// The device's pace, from the callbacks once the stream has settled (a
// server fills its buffer faster at first). A pace beyond any crystal's
// tolerance is a device in trouble, not a rate.
void Mixer::LearnPace(double now, bool stepped) {
  // The points before a restart or a phase step would tilt the line.
  if (stepped) paceSeen_.Reset();
  if (!clock_.Ready() || clock_.FramesSinceStart() < kPaceSettleSeconds * rate_) {
    paceSeen_.Reset();
    return;
  }
  paceSeen_.Add(now, blockStart_, rate_);
  const double pace = paceSeen_.Pace(rate_);
  if (std::abs(pace - 1) <= kMostPaceError) pace_.store(pace, std::memory_order_relaxed);
}

// A play's onset frame must not be rendered yet when its command arrives, at
// the latest with the block after the call. The furthest the device has asked
// ahead of the clock's frame for now is what the latency must cover.
void Mixer::LearnLatency(double now, int frames) {
  // A server's cycles ask for one block ahead by construction: a stall
  // there is an xrun, not a reason to wait longer for ever after.
  if (exactBlockTimes_) return;
  if (clock_.FramesSinceStart() < kSettleSeconds * rate_) return;
  const double ahead = static_cast<double>(blockStart_ + frames) - clock_.FrameAt(now);
  const auto needed = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(ahead / rate_ + headroom_));
  if (needed <= latency_) return;
  latency_ = needed;
  latencyShown_.store(latency_.count(), std::memory_order_relaxed);
}

void Mixer::Apply(const MixerCommand& c, int64_t blockStart) {
  MixerVoice& v = voices_[c.slot];
  switch (c.op) {
    case MixerOp::Start:
      Start(c, blockStart);
      break;
    case MixerOp::Stop:
      v.state = MixerVoice::State::Idle;
      break;
    case MixerOp::SetParams:
      SetParams(v, c, rate_);
      break;
    case MixerOp::SetCursor:
      v.generation = c.generation;
      v.position = c.frames ? static_cast<uint64_t>(std::min(c.cursor, v.frames)) << 32 : 0;
      break;
    case MixerOp::SetLooping:
      v.looping = c.looping;
      break;
    case MixerOp::Steal:
      Steal(c.slot);
      break;
  }
  Publish(c.slot);
}

void Mixer::Start(const MixerCommand& c, int64_t blockStart) {
  MixerVoice& v = voices_[c.slot];
  v.transportFrame = -1;
  v.data = c.data;
  v.frames = c.frames;
  v.layout = c.layout;
  v.looping = c.looping;
  v.generation = c.generation;
  v.position = static_cast<uint64_t>(std::min(c.cursor, c.frames)) << 32;
  SetParams(v, c, rate_);
  // A step on a transport waits for its frame (an output without one places
  // it by its own frames).
  if (c.transportFrame >= 0 && hasTransport_ && stamped_) {
    v.transportFrame = c.transportFrame;
    v.sawRolling = false;
    v.startFrame = std::numeric_limits<int64_t>::max();
    v.state = MixerVoice::State::Scheduled;
    Activate(c.slot);
    return;
  }
  const int64_t frame = StartFrame(c, blockStart);
  // Plays that waited through a gap of the device would all sound on the
  // first block after it: right after the clock restarted, those more than
  // a block late are dropped.
  const bool afterRestart = stamped_ && blockStart - restartFrame_ < kSettleSeconds * rate_;
  if (afterRestart && blockStart - frame > period_) {
    v.state = MixerVoice::State::Idle;
    droppedStarts_.fetch_add(1, std::memory_order_relaxed);
    soundtrouble::AddDropped();
    return;
  }
  if (frame < blockStart) {
    lateStarts_.fetch_add(1, std::memory_order_relaxed);
    soundtrouble::AddLateStart();
  }
  v.startFrame = std::max(frame, blockStart);
  v.state = MixerVoice::State::Scheduled;
  Activate(c.slot);
}

// A step placed in the output's frames keeps its frame; a play stamped with
// a moment goes where the clock puts that moment plus the latency; a play of
// the moment (a click), and any play on an output that does not keep real
// time, starts with the block that takes it. A hit the groove moves sounds
// that much after its moment or its block.
int64_t Mixer::StartFrame(const MixerCommand& c, int64_t blockStart) {
  const int64_t after = std::llround(static_cast<double>(c.afterDueNs) * 1e-9 * rate_);
  if (!stamped_) return blockStart + std::max<int64_t>(0, after);
  if (c.frame >= 0) return c.frame;
  if (!clock_.Ready() || c.stampNs == 0) return blockStart;
  const auto due = Clock::time_point(std::chrono::duration_cast<Clock::duration>(
                       std::chrono::nanoseconds(c.stampNs))) +
                   latency_;
  // The frame the moment falls in: never after it, so never beyond the latency.
  return static_cast<int64_t>(std::floor(clock_.FrameAt(Seconds(due)))) + after;
}

// A voice that sounds moves to a fading voice; one not started yet just ends.
void Mixer::Steal(int slot) {
  MixerVoice& v = voices_[slot];
  if (v.state == MixerVoice::State::Playing && !freeFading_.empty()) {
    const int f = freeFading_.back();
    freeFading_.pop_back();
    voices_[f] = v;
    voices_[f].fadeLeft = fadeFrames_;
    Activate(f);
  }
  v.state = MixerVoice::State::Idle;
}

void Mixer::Activate(int slot) {
  if (isActive_[slot]) return;
  isActive_[slot] = 1;
  active_.push_back(static_cast<uint16_t>(slot));  // capacity reserved for every slot
}

void Mixer::Publish(int slot) {
  if (slot >= slots_) return;  // fading voices belong to no buffer
  const MixerVoice& v = voices_[slot];
  const bool playing = v.state != MixerVoice::State::Idle;
  reports_[slot].store(VoiceReport::Pack(v.generation, playing, v.Cursor()),
                       std::memory_order_release);
}

void Mixer::MixActive(float* out, int frames, int64_t blockStart) {
  for (size_t i = 0; i < active_.size();) {
    const int slot = active_[i];
    MixerVoice& v = voices_[slot];
    if (v.state == MixerVoice::State::Scheduled && v.transportFrame >= 0 &&
        !PlaceOnTransport(v, blockStart))
      v.state = MixerVoice::State::Idle;
    if (v.state == MixerVoice::State::Scheduled && v.startFrame < blockStart + frames) {
      const int offset = static_cast<int>(v.startFrame - blockStart);
      v.state = MixerVoice::State::Playing;
      if (!MixPlaying(v, out + 2 * offset, frames - offset)) {
        v.state = MixerVoice::State::Idle;
        v.position = 0;
      }
    } else if (v.fadeLeft > 0) {
      if (!MixFading(v, out, frames)) {
        v.state = MixerVoice::State::Idle;
        v.fadeLeft = 0;
      }
    } else if (v.state == MixerVoice::State::Playing) {
      if (!MixPlaying(v, out, frames)) {
        v.state = MixerVoice::State::Idle;
        v.position = 0;  // a buffer that played to its end plays again from the start
      }
    }
    Publish(slot);
    if (v.state == MixerVoice::State::Idle) {
      if (slot >= slots_) freeFading_.push_back(static_cast<uint16_t>(slot));
      isActive_[slot] = 0;
      active_[i] = active_.back();
      active_.pop_back();
    } else {
      ++i;
    }
  }
}

bool Mixer::MixPlaying(MixerVoice& v, float* out, int frames) {
  if ((meteringBlock_ && v.meter != 0) || GroupOf(v)) return MixMetered(v, out, frames);
  return MixVoice(v, out, frames);
}

// A transport that jumped (relocated) or stopped leaves no step of before
// waiting: the song is placed afresh.
void Mixer::FollowTransport(const AudioBlock& block, int frames) {
  hasTransport_ = block.hasTransport;
  relocated_ = block.rolling && rolling_ && block.transportPosition != expectedPosition_;
  rolling_ = block.hasTransport && block.rolling;
  transportPosition_ = block.transportPosition;
  expectedPosition_ = rolling_ ? transportPosition_ + frames : -1;
}

// Where a waiting step falls in this block's frames; false when it is to be
// dropped (the transport passed it, moved or stopped since it rolled).
bool Mixer::PlaceOnTransport(MixerVoice& v, int64_t blockStart) {
  if (!rolling_) {
    v.startFrame = std::numeric_limits<int64_t>::max();
    return !v.sawRolling;
  }
  if (relocated_ && v.sawRolling) return false;
  v.sawRolling = true;
  const int64_t frame = blockStart + (v.transportFrame - transportPosition_);
  if (frame < blockStart - period_) {
    droppedStarts_.fetch_add(1, std::memory_order_relaxed);
    soundtrouble::AddDropped();
    return false;
  }
  if (frame < blockStart) {
    lateStarts_.fetch_add(1, std::memory_order_relaxed);
    soundtrouble::AddLateStart();
  }
  v.startFrame = std::max(frame, blockStart);
  return true;
}

float* Mixer::GroupOf(const MixerVoice& v) const {
  return v.meter < groupCount_ ? groups_[v.meter] : nullptr;
}

// A fading voice still belongs to its group: the group mixes sum to out.
bool Mixer::MixFading(MixerVoice& v, float* out, int frames) {
  float* group = GroupOf(v);
  if (!group) return MixVoiceFading(v, out, frames, fadeFrames_);
  group += out - outStart_;
  constexpr int kPiece = 128;
  float piece[2 * kPiece];
  bool more = true;
  for (int done = 0; done < frames && more;) {
    const int n = std::min(kPiece, frames - done);
    std::fill(piece, piece + 2 * n, 0.0f);
    more = MixVoiceFading(v, piece, n, fadeFrames_);
    for (int i = 0; i < 2 * n; ++i) {
      out[2 * done + i] += piece[i];
      group[2 * done + i] += piece[i];
    }
    done += n;
  }
  return more;
}

// Mixed a piece at a time into a scratch block that is then added: the same
// sums as mixing straight into out, and the voice's own peak and its group's
// mix besides. The frames are those from out's start (the group's likewise).
bool Mixer::MixMetered(MixerVoice& v, float* out, int frames) {
  float* group = GroupOf(v);
  if (group) group += out - outStart_;
  constexpr int kPiece = 128;
  float piece[2 * kPiece];
  float peak = 0.0f;
  bool more = true;
  for (int done = 0; done < frames && more;) {
    const int n = std::min(kPiece, frames - done);
    std::fill(piece, piece + 2 * n, 0.0f);
    more = MixVoice(v, piece, n);
    float* to = out + 2 * done;
    for (int i = 0; i < 2 * n; ++i) {
      to[i] += piece[i];
      peak = std::max(peak, std::abs(piece[i]));
    }
    if (group)
      for (int i = 0; i < 2 * n; ++i) group[2 * done + i] += piece[i];
    done += n;
  }
  if (v.meter == 0 || !meteringBlock_) return more;
  std::atomic<float>& shown = meterPeaks_[v.meter];
  float before = shown.load(std::memory_order_relaxed);
  while (peak > before && !shown.compare_exchange_weak(before, peak, std::memory_order_relaxed)) {
  }
  return more;
}

void Mixer::ClipOutput(float* out, int frames) {
  float peak = 0.0f;
  for (int i = 0; i < 2 * frames; ++i) {
    peak = std::max(peak, std::abs(out[i]));
    out[i] = std::clamp(out[i], -1.0f, 1.0f);
  }
  if (peak > 1.0f) clippedBlocks_.fetch_add(1, std::memory_order_relaxed);
  float before = outputPeak_.load(std::memory_order_relaxed);
  while (peak > before &&
         !outputPeak_.compare_exchange_weak(before, peak, std::memory_order_relaxed)) {
  }
}
