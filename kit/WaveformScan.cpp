#include "kit/WaveformScan.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// How a sample kind is read: its bytes, its value and full scale.
struct ReadU8 {
  using T = int16_t;
  static constexpr int kBytes = 1;
  static constexpr float kScale = 1.0f / 128.0f;
  static T Load(const uint8_t* p) { return static_cast<T>(p[0] - 128); }
};
struct ReadS16 {
  using T = int16_t;
  static constexpr int kBytes = 2;
  static constexpr float kScale = 1.0f / 32768.0f;
  static T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
};
struct ReadS24 {
  using T = int32_t;
  static constexpr int kBytes = 3;
  static constexpr float kScale = 1.0f / 8388608.0f;
  static T Load(const uint8_t* p) {
    const uint32_t u = uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24;
    return static_cast<T>(u) >> 8;
  }
};
struct ReadS32 {
  using T = int32_t;
  static constexpr int kBytes = 4;
  static constexpr float kScale = 1.0f / 2147483648.0f;
  static T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
};
struct ReadF32 {
  using T = float;
  static constexpr int kBytes = 4;
  static constexpr float kScale = 1.0f;
  static T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v == v ? v : 0.0f;  // NaN draws as silence
  }
};

int SampleBytes(SampleKind kind) {
  switch (kind) {
    case SampleKind::U8:
      return 1;
    case SampleKind::S16:
      return 2;
    case SampleKind::S24:
      return 3;
    case SampleKind::S32:
    case SampleKind::F32:
      return 4;
  }
  return 0;
}

constexpr PeakRange kNothingYet{std::numeric_limits<float>::max(),
                                std::numeric_limits<float>::lowest()};

// Samples go to 16 lanes side by side, which the compiler turns into a few
// vector instructions; lane j holds channel j % channels.
constexpr int kLanes = 16;

}  // namespace

WaveformScan::WaveformScan(const SampleLayout& layout, int64_t frames) : layout_(layout) {
  const int bytes = SampleBytes(layout.kind);
  if (layout.channels > 0 && bytes > 0 && layout.blockAlign >= layout.channels * bytes) {
    channels_ = layout.channels;
    sampleBytes_ = bytes;
  }
  binFrames_ = FinestBinFramesFor(frames);
  open_.assign(static_cast<size_t>(channels_), kNothingYet);
  bins_.reserve(static_cast<size_t>((frames / binFrames_ + 1) * channels_));
}

template <class R>
void WaveformScan::ScanRun(const uint8_t* bytes, int64_t frames) {
  using T = typename R::T;
  if (layout_.blockAlign != channels_ * R::kBytes || kLanes % channels_ != 0) {
    ScanChannels<R>(bytes, frames);
    return;
  }
  T low[kLanes], high[kLanes];
  std::fill(low, low + kLanes, std::numeric_limits<T>::max());
  std::fill(high, high + kLanes, std::numeric_limits<T>::lowest());
  const int64_t samples = frames * channels_;
  int64_t i = 0;
  for (; i + kLanes <= samples; i += kLanes) {
    const uint8_t* p = bytes + i * R::kBytes;
    for (int j = 0; j < kLanes; ++j) {
      const T v = R::Load(p + j * R::kBytes);
      low[j] = std::min(low[j], v);
      high[j] = std::max(high[j], v);
    }
  }
  for (; i < samples; ++i) {
    const T v = R::Load(bytes + i * R::kBytes);
    low[i % kLanes] = std::min(low[i % kLanes], v);
    high[i % kLanes] = std::max(high[i % kLanes], v);
  }
  for (int j = 0; j < kLanes; ++j)
    if (low[j] <= high[j])
      Widen(j % channels_, static_cast<float>(low[j]) * R::kScale,
            static_cast<float>(high[j]) * R::kScale);
}

// Frames with padding, or a channel count the lanes don't divide.
template <class R>
void WaveformScan::ScanChannels(const uint8_t* bytes, int64_t frames) {
  using T = typename R::T;
  for (int c = 0; c < channels_; ++c) {
    T low = std::numeric_limits<T>::max(), high = std::numeric_limits<T>::lowest();
    const uint8_t* p = bytes + c * sampleBytes_;
    for (int64_t f = 0; f < frames; ++f, p += layout_.blockAlign) {
      const T v = R::Load(p);
      low = std::min(low, v);
      high = std::max(high, v);
    }
    if (low <= high)
      Widen(c, static_cast<float>(low) * R::kScale, static_cast<float>(high) * R::kScale);
  }
}

void WaveformScan::Widen(int channel, float low, float high) {
  PeakRange& range = open_[static_cast<size_t>(channel)];
  range.low = std::min(range.low, low);
  range.high = std::max(range.high, high);
}

template <class R>
void WaveformScan::ScanFrames(const uint8_t* bytes, int64_t frames) {
  while (frames > 0) {
    const int64_t run = std::min(frames, binFrames_ - inBin_);
    ScanRun<R>(bytes, run);
    bytes += run * layout_.blockAlign;
    frames -= run;
    inBin_ += run;
    frames_ += run;
    if (inBin_ == binFrames_) CloseBin();
  }
}

void WaveformScan::CloseBin() {
  bins_.insert(bins_.end(), open_.begin(), open_.end());
  open_.assign(open_.size(), kNothingYet);
  inBin_ = 0;
}

void WaveformScan::ScanWholeFrames(const uint8_t* bytes, int64_t frames) {
  switch (layout_.kind) {
    case SampleKind::U8:
      return ScanFrames<ReadU8>(bytes, frames);
    case SampleKind::S16:
      return ScanFrames<ReadS16>(bytes, frames);
    case SampleKind::S24:
      return ScanFrames<ReadS24>(bytes, frames);
    case SampleKind::S32:
      return ScanFrames<ReadS32>(bytes, frames);
    case SampleKind::F32:
      return ScanFrames<ReadF32>(bytes, frames);
  }
}

void WaveformScan::Add(const uint8_t* bytes, size_t size) {
  if (channels_ == 0 || size == 0) return;
  const size_t frameBytes = layout_.blockAlign;
  if (!split_.empty()) {
    const size_t wanted = std::min(frameBytes - split_.size(), size);
    split_.insert(split_.end(), bytes, bytes + wanted);
    bytes += wanted;
    size -= wanted;
    if (split_.size() < frameBytes) return;
    ScanWholeFrames(split_.data(), 1);
    split_.clear();
  }
  const size_t whole = size / frameBytes;
  ScanWholeFrames(bytes, static_cast<int64_t>(whole));
  split_.assign(bytes + whole * frameBytes, bytes + size);
}

WaveformPeaks WaveformScan::Finish() {
  if (inBin_ > 0) CloseBin();
  return WaveformPeaks(channels_, frames_, binFrames_, std::move(bins_));
}

WaveformPeaks PeaksOfSamples(const uint8_t* data, size_t size, const SampleLayout& layout) {
  const int64_t frames = layout.blockAlign ? static_cast<int64_t>(size / layout.blockAlign) : 0;
  WaveformScan scan(layout, frames);
  scan.Add(data, size);
  return scan.Finish();
}
