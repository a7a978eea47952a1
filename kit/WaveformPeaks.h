#pragma once
// A sound's outline for drawing: the lowest and highest sample of each
// channel over runs of frames (bins), kept at a few resolutions, each
// kLevelFactor times coarser than the one below. Any pixel width is reduced
// from the coarsest bins that fit a column, a few dozen values per column.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kit/SoundFormat.h"

// The lowest and highest sample over some frames, full scale being -1 .. 1.
struct PeakRange {
  float low = 0.0f;
  float high = 0.0f;
  bool operator==(const PeakRange&) const = default;
};

// columns[channel][column].
using PeakColumns = std::vector<std::vector<PeakRange>>;

class WaveformPeaks {
 public:
  static constexpr int kLevelFactor = 16;

  // No sound: no channels, no frames.
  WaveformPeaks() = default;
  // finest holds the bins of binFrames frames, channel by channel within a
  // bin (bin b of channel c at b * channels + c); the last bin may be short.
  WaveformPeaks(int channels, int64_t frames, int64_t binFrames, std::vector<PeakRange> finest);

  int Channels() const { return channels_; }
  int64_t Frames() const { return frames_; }
  // Frames per bin of the finest level: 1 keeps every sample.
  int64_t FinestBinFrames() const { return levels_.empty() ? 1 : levels_.front().binFrames; }
  int Levels() const { return static_cast<int>(levels_.size()); }

  // width columns over the whole sound: column c covers frames
  // [c * F / width, (c + 1) * F / width); a column narrower than a frame (a
  // sound shorter than the width) shows the frame it lies on.
  PeakColumns Columns(int width) const;
  // The column a frame lies in for that width; -1 outside the sound.
  int ColumnOfFrame(int64_t frame, int width) const;

 private:
  struct Level {
    int64_t binFrames = 1;
    int64_t bins = 0;
    std::vector<PeakRange> ranges;  // bins * channels
  };
  void AddCoarserLevels();
  // Every channel's range over finest bins [first, last).
  void RangeOfBins(int64_t first, int64_t last, std::vector<PeakRange>& out) const;
  void Merge(const Level& level, int64_t first, int64_t last, std::vector<PeakRange>& out) const;

  int channels_ = 0;
  int64_t frames_ = 0;
  std::vector<Level> levels_;
};

// Frames per finest bin for a sound of that many frames: the smallest power
// of kLevelFactor that keeps the finest level at most 2^17 bins.
int64_t FinestBinFramesFor(int64_t frames);
