#pragma once
// Reads a sound's sample bytes, piece by piece, into its WaveformPeaks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kit/SoundFormat.h"
#include "kit/WaveformPeaks.h"

class WaveformScan {
 public:
  // frames: how many the sound holds, which sets the finest bins' size.
  WaveformScan(const SampleLayout& layout, int64_t frames);

  // The next bytes of the sound; a frame may be split between two pieces.
  void Add(const uint8_t* bytes, size_t size);
  // The peaks of everything added (a split frame at the end is left out).
  WaveformPeaks Finish();

 private:
  template <class R>
  void ScanFrames(const uint8_t* bytes, int64_t frames);
  template <class R>
  void ScanRun(const uint8_t* bytes, int64_t frames);
  template <class R>
  void ScanChannels(const uint8_t* bytes, int64_t frames);
  void Widen(int channel, float low, float high);
  void ScanWholeFrames(const uint8_t* bytes, int64_t frames);
  void CloseBin();

  SampleLayout layout_;
  int channels_ = 0;
  int sampleBytes_ = 0;
  int64_t binFrames_ = 1;
  int64_t frames_ = 0;
  int64_t inBin_ = 0;
  std::vector<PeakRange> open_;  // the bin being filled, per channel
  std::vector<PeakRange> bins_;
  std::vector<uint8_t> split_;  // the start of a frame the next piece ends
};

// The peaks of a sound held whole in memory; a layout the scan can't read
// (no channels, samples wider than a frame) gives no peaks.
WaveformPeaks PeaksOfSamples(const uint8_t* data, size_t size, const SampleLayout& layout);
