#include "kit/CaptureOutput.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/Files.h"
#include "kit/AudioThreadPriority.h"

CaptureTape::CaptureTape(const Settings& settings)
    : settings_(settings), block_(2 * static_cast<size_t>(settings.periodFrames)) {}

CaptureTape::~CaptureTape() {
  Stop();
}

void CaptureTape::Start(AudioOutput::Render render) {
  Stop();
  {
    std::lock_guard lock(renderMutex_);
    render_ = std::move(render);
  }
  if (settings_.pacing == Pacing::RealTime) {
    stopping_ = false;
    const auto start = Clock::now() + std::chrono::milliseconds(1);
    {
      std::lock_guard lock(mutex_);
      startTime_ = start;
    }
    thread_ = std::thread([this, start] { Run(start); });
  }
}

void CaptureTape::Stop() {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(stopMutex_);
      stopping_ = true;
    }
    stopSignal_.notify_all();
    thread_.join();
  }
  std::lock_guard lock(renderMutex_);
  render_ = nullptr;
}

void CaptureTape::Run(Clock::time_point start) {
  // A paced tape stands in for a sound card's callback thread.
  RaiseToAudioPriority();
  const int rate = settings_.rate, period = settings_.periodFrames;
  const int burst = std::max(1, settings_.burstPeriods);
  bool stalled = false;
  for (int64_t block = 0;; block += burst) {
    if (!stalled && settings_.stallAtFrame >= 0 && block * period >= settings_.stallAtFrame) {
      stalled = true;
      start += std::chrono::milliseconds(settings_.stallMs);
    }
    // Due times are absolute, so wake-up delays never accumulate.
    const auto due = start + std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(
                                 block * period * int64_t{1000000000} / rate));
    std::unique_lock lock(stopMutex_);
    if (stopSignal_.wait_until(lock, due, [this] { return stopping_; })) return;
    lock.unlock();
    for (int i = 0; i < burst; ++i) RenderBlock(period);
  }
}

bool CaptureTape::RenderFrames(int frames) {
  std::lock_guard lock(renderMutex_);
  if (!render_) return false;
  while (frames > 0) {
    const int n = std::min(frames, settings_.periodFrames);
    RenderBlock(n);
    frames -= n;
  }
  return true;
}

void CaptureTape::RenderBlock(int frames) {
  render_(block_.data(), frames);
  std::lock_guard lock(mutex_);
  samples_.insert(samples_.end(), block_.begin(), block_.begin() + 2 * frames);
}

void CaptureTape::Reserve(size_t frames) {
  std::lock_guard lock(mutex_);
  samples_.reserve(2 * frames);
}

std::vector<float> CaptureTape::Samples() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

size_t CaptureTape::FramesRecorded() const {
  std::lock_guard lock(mutex_);
  return samples_.size() / 2;
}

void CaptureTape::Clear() {
  std::lock_guard lock(mutex_);
  samples_.clear();
}

CaptureTape::Clock::time_point CaptureTape::StartTime() const {
  std::lock_guard lock(mutex_);
  return startTime_;
}

namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

void CaptureTape::SaveWav(const std::filesystem::path& path) const {
  const std::vector<float> samples = Samples();
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  PutLe(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);
  PutLe(out, 2, 2);
  PutLe(out, static_cast<uint32_t>(settings_.rate), 4);
  PutLe(out, static_cast<uint32_t>(settings_.rate) * 4, 4);
  PutLe(out, 4, 2);
  PutLe(out, 16, 2);
  out += "data";
  PutLe(out, dataBytes, 4);
  for (float s : samples) {
    const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    PutLe(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xFFFF, 2);
  }
  WriteFileAtomically(path, out);
}

bool CaptureOutput::Open(int) {
  return !tape_->settings().refuseOpen;
}

void CaptureOutput::Start(Render render) {
  tape_->Start(std::move(render));
  started_ = true;
}

void CaptureOutput::Stop() {
  if (!started_) return;
  started_ = false;
  tape_->Stop();
}

AudioOutputFactory CaptureFactory(std::shared_ptr<CaptureTape> tape) {
  return [tape] { return std::make_unique<CaptureOutput>(tape); };
}
