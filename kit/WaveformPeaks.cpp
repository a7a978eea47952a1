#include "kit/WaveformPeaks.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int64_t kMostFinestBins = int64_t{1} << 17;

// Widened by the first range merged into it.
constexpr PeakRange kNothing{std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::lowest()};

PeakRange Widen(PeakRange a, PeakRange b) {
  return {std::min(a.low, b.low), std::max(a.high, b.high)};
}

}  // namespace

int64_t FinestBinFramesFor(int64_t frames) {
  int64_t bin = 1;
  while ((frames + bin - 1) / bin > kMostFinestBins) bin *= WaveformPeaks::kLevelFactor;
  return bin;
}

WaveformPeaks::WaveformPeaks(int channels, int64_t frames, int64_t binFrames,
                             std::vector<PeakRange> finest)
    : channels_(std::max(channels, 0)), frames_(std::max<int64_t>(frames, 0)) {
  if (channels_ == 0 || binFrames < 1) {
    channels_ = 0;
    frames_ = 0;
    return;
  }
  Level level;
  level.binFrames = binFrames;
  level.bins = static_cast<int64_t>(finest.size()) / channels_;
  finest.resize(static_cast<size_t>(level.bins * channels_));
  level.ranges = std::move(finest);
  levels_.push_back(std::move(level));
  AddCoarserLevels();
}

void WaveformPeaks::AddCoarserLevels() {
  while (levels_.back().bins > kLevelFactor) {
    const Level& finer = levels_.back();
    Level coarser;
    coarser.binFrames = finer.binFrames * kLevelFactor;
    coarser.bins = (finer.bins + kLevelFactor - 1) / kLevelFactor;
    coarser.ranges.resize(static_cast<size_t>(coarser.bins * channels_));
    for (int64_t bin = 0; bin < coarser.bins; ++bin) {
      const int64_t first = bin * kLevelFactor;
      const int64_t last = std::min(first + kLevelFactor, finer.bins);
      for (int c = 0; c < channels_; ++c) {
        PeakRange range = finer.ranges[static_cast<size_t>(first * channels_ + c)];
        for (int64_t b = first + 1; b < last; ++b)
          range = Widen(range, finer.ranges[static_cast<size_t>(b * channels_ + c)]);
        coarser.ranges[static_cast<size_t>(bin * channels_ + c)] = range;
      }
    }
    levels_.push_back(std::move(coarser));
  }
}

void WaveformPeaks::Merge(const Level& level, int64_t first, int64_t last,
                          std::vector<PeakRange>& out) const {
  for (int64_t bin = first; bin < last; ++bin) {
    const PeakRange* ranges = &level.ranges[static_cast<size_t>(bin * channels_)];
    for (int c = 0; c < channels_; ++c) out[c] = Widen(out[c], ranges[c]);
  }
}

// Climbs the levels: the bins that don't fill a coarser bin at either end
// are taken at this level, the rest one level up.
void WaveformPeaks::RangeOfBins(int64_t first, int64_t last, std::vector<PeakRange>& out) const {
  out.assign(static_cast<size_t>(channels_), kNothing);
  for (size_t l = 0; l < levels_.size() && first < last; ++l) {
    const bool top = l + 1 == levels_.size();
    const int64_t upFirst = (first + kLevelFactor - 1) / kLevelFactor;
    const int64_t upLast = last / kLevelFactor;
    if (top || upFirst >= upLast) {
      Merge(levels_[l], first, last, out);
      return;
    }
    Merge(levels_[l], first, upFirst * kLevelFactor, out);
    Merge(levels_[l], upLast * kLevelFactor, last, out);
    first = upFirst;
    last = upLast;
  }
}

PeakColumns WaveformPeaks::Columns(int width) const {
  width = std::max(width, 0);
  PeakColumns columns(static_cast<size_t>(channels_),
                      std::vector<PeakRange>(static_cast<size_t>(width)));
  if (frames_ == 0 || levels_.empty() || levels_.front().bins == 0) return columns;
  const int64_t binFrames = levels_.front().binFrames;
  const int64_t bins = levels_.front().bins;
  std::vector<PeakRange> range;
  for (int x = 0; x < width; ++x) {
    const int64_t from = x * frames_ / width;
    const int64_t to = std::max((x + 1) * frames_ / width, from + 1);
    const int64_t firstBin = std::min(from / binFrames, bins - 1);
    const int64_t lastBin = std::clamp((to + binFrames - 1) / binFrames, firstBin + 1, bins);
    RangeOfBins(firstBin, lastBin, range);
    for (int c = 0; c < channels_; ++c) columns[c][x] = range[c];
  }
  return columns;
}

int WaveformPeaks::ColumnOfFrame(int64_t frame, int width) const {
  if (frame < 0 || frame >= frames_ || width <= 0) return -1;
  // The last column starting at or before frame: x * F / W <= frame.
  const int64_t x = ((frame + 1) * width - 1) / frames_;
  return static_cast<int>(std::min<int64_t>(x, width - 1));
}
