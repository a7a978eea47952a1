#pragma once
// Loop-exact songs: a render cut to the song's own length, the sound that
// rings past the end added onto the start, so the file repeats without a gap
// or a cut.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Text.h"
#include "render/wavaudioFile.h"

struct SongSteps;

// The song's length in output frames: where its first row would sound again,
// placed as the render places every hit.
std::int32_t LoopFrames(const SongSteps& steps);

// "4 bars, 7.68 s" or "2 bars and 3 steps, 4.20 s": a step is a sixteenth,
// sixteen make a bar.
std::string LoopLengthText(std::int64_t rows, std::int64_t frames);

// The frames of a render as its 16-bit stereo WAV holds them (44-byte header,
// then the samples), read folded at a length: frame f is the sum of the
// render's frames f, f + length, f + 2 × length ..., each addition kept within
// ±32767 as the mixer keeps it. Frames past the render are silence. A
// negative length reads the render as it is.
class FoldedFrames {
 public:
  FoldedFrames(wavaudio::WaveFile& render, std::int64_t length);
  std::int64_t Frames() const { return length_; }
  // Frames [first, first + count), interleaved left and right.
  void Read(std::int64_t first, std::int64_t count, std::int16_t* out);

 private:
  void AddFrom(std::int64_t from, std::int64_t count, std::int32_t* sums);

  wavaudio::WaveFile& render_;
  std::int64_t renderFrames_ = 0;
  std::int64_t length_ = 0;
  bool fold_ = false;
  std::vector<std::int16_t> block_;  // as read, little-endian
  std::vector<std::int16_t> decoded_;
  std::vector<std::int32_t> sums_;
};
