#pragma once
// Sounds of a known shape for the waveform window tests, and what a grabbed
// waveform shows of them.
#include <QImage>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "kit/Wave.h"
#include "kit/WaveformView.h"

// Stereo, 16 bits: the left channel swings +-loud over the first half and
// +-quiet over the second; the right channel is silent.
inline Wave::TWave LoudThenQuiet(int frames, uint32_t rate = 22050, float loud = 0.9f,
                                 float quiet = 0.1f) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(rate, 16, 2));
  std::vector<int16_t> samples(static_cast<size_t>(frames) * 2, 0);
  for (int f = 0; f < frames; ++f) {
    const float level = f < frames / 2 ? loud : quiet;
    samples[2 * f] = static_cast<int16_t>((f % 2 ? 1 : -1) * level * 32767);
  }
  wave.SetSize(static_cast<int32_t>(samples.size() * 2));
  std::memcpy(wave.Data(), samples.data(), samples.size() * 2);
  return wave;
}

inline std::filesystem::path WriteLoudThenQuiet(const std::filesystem::path& path, int frames,
                                                uint32_t rate = 22050) {
  LoudThenQuiet(frames, rate).SaveToFile(path);
  return path;
}

// How many pixels of column x between rows top and bottom (exclusive) are
// drawn in the waveform's colour.
inline int DrawnHeight(const QImage& image, int x, int top, int bottom) {
  int drawn = 0;
  for (int y = top; y < bottom; ++y)
    if (image.pixelColor(x, y) == WaveformView::kWave) ++drawn;
  return drawn;
}

// The drawn heights of every column of a lane (lane of lanes, top first).
inline std::vector<int> LaneHeights(const QImage& image, int lane, int lanes) {
  const int top = image.height() * lane / lanes, bottom = image.height() * (lane + 1) / lanes;
  std::vector<int> heights;
  for (int x = 0; x < image.width(); ++x) heights.push_back(DrawnHeight(image, x, top, bottom));
  return heights;
}

inline bool HasPlayLineAt(const QImage& image, int x) {
  for (int y = 0; y < image.height(); ++y)
    if (image.pixelColor(x, y) != WaveformView::kPlayLine) return false;
  return true;
}
