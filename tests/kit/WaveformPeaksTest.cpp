// Peaks of known signals, reduced to pixel columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "kit/WaveformPeaks.h"
#include "kit/WaveformScan.h"
#include "kit/WaveformSignals.h"

namespace {

PeakColumns ColumnsOf(const SampleLayout& layout, const std::vector<float>& values, int width) {
  const std::vector<uint8_t> bytes = SampleBytes(layout, values);
  return PeaksOfSamples(bytes.data(), bytes.size(), layout).Columns(width);
}

std::vector<PeakRange> Same(int width, PeakRange range) {
  return std::vector<PeakRange>(static_cast<size_t>(width), range);
}

struct KnownSignal {
  const char* name;
  int channels;
  std::vector<float> values;
  int width;
  PeakColumns expected;
};

std::vector<float> Ramp(int frames) {
  std::vector<float> v(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) v[i] = static_cast<float>(i) / 1024.0f;
  return v;
}

std::vector<PeakRange> RampColumns(int width, int framesPerColumn) {
  std::vector<PeakRange> columns;
  for (int c = 0; c < width; ++c)
    columns.push_back({static_cast<float>(c * framesPerColumn) / 1024.0f,
                       static_cast<float>(c * framesPerColumn + framesPerColumn - 1) / 1024.0f});
  return columns;
}

std::vector<float> Stereo(int frames, float left, float right) {
  std::vector<float> v;
  for (int i = 0; i < frames; ++i) v.insert(v.end(), {left, right});
  return v;
}

TEST(WaveformPeaks, KnownSignalsGiveTheirColumns) {
  const KnownSignal signals[] = {
      {"square, several periods a column", 1, Square(1024, 64, 0.5f), 8, {Same(8, {-0.5f, 0.5f})}},
      {"square, a half period a column", 1, Square(1024, 64, 0.5f), 32, {[] {
         std::vector<PeakRange> v;
         for (int c = 0; c < 32; ++c)
           v.push_back(c % 2 == 0 ? PeakRange{0.5f, 0.5f} : PeakRange{-0.5f, -0.5f});
         return v;
       }()}},
      {"ramp", 1, Ramp(1000), 10, {RampColumns(10, 100)}},
      {"silence", 2, std::vector<float>(2 * 500, 0.0f), 50, {Same(50, {0, 0}), Same(50, {0, 0})}},
      {"stereo with different channels",
       2,
       Stereo(300, 0.25f, -0.75f),
       30,
       {Same(30, {0.25f, 0.25f}), Same(30, {-0.75f, -0.75f})}},
      {"shorter than the width",
       1,
       {0.125f, 0.25f, -0.5f, 1.0f / 1024},
       8,
       {{{0.125f, 0.125f},
         {0.125f, 0.125f},
         {0.25f, 0.25f},
         {0.25f, 0.25f},
         {-0.5f, -0.5f},
         {-0.5f, -0.5f},
         {1.0f / 1024, 1.0f / 1024},
         {1.0f / 1024, 1.0f / 1024}}}},
      {"empty", 2, {}, 4, {Same(4, {0, 0}), Same(4, {0, 0})}},
  };
  for (const KnownSignal& s : signals) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(ColumnsOf(LayoutOf(SampleKind::F32, s.channels), s.values, s.width), s.expected);
  }
}

TEST(WaveformPeaks, EverySampleKindReadsToTheSameScale) {
  const std::vector<float> values = Stereo(64, 0.5f, -0.25f);
  for (SampleKind kind :
       {SampleKind::U8, SampleKind::S16, SampleKind::S24, SampleKind::S32, SampleKind::F32}) {
    SCOPED_TRACE(static_cast<int>(kind));
    const PeakColumns columns = ColumnsOf(LayoutOf(kind, 2), values, 4);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0], Same(4, {0.5f, 0.5f}));
    EXPECT_EQ(columns[1], Same(4, {-0.25f, -0.25f}));
  }
}

TEST(WaveformPeaks, PaddedFramesAndOddChannelCountsReadEachChannel) {
  std::vector<float> values;
  for (int f = 0; f < 40; ++f) values.insert(values.end(), {0.5f, -0.5f, f % 2 ? 0.25f : -0.25f});
  for (int padding : {0, 2}) {
    SCOPED_TRACE(padding);
    const PeakColumns columns = ColumnsOf(LayoutOf(SampleKind::S16, 3, padding), values, 2);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0], Same(2, {0.5f, 0.5f}));
    EXPECT_EQ(columns[1], Same(2, {-0.5f, -0.5f}));
    EXPECT_EQ(columns[2], Same(2, {-0.25f, 0.25f}));
  }
}

TEST(WaveformPeaks, ALayoutItCannotReadGivesNoPeaks) {
  SampleLayout noChannels = LayoutOf(SampleKind::S16, 2);
  noChannels.channels = 0;
  SampleLayout tooNarrow = LayoutOf(SampleKind::S32, 2);
  tooNarrow.blockAlign = 4;
  const std::vector<uint8_t> bytes(64, 1);
  for (const SampleLayout& layout : {noChannels, tooNarrow}) {
    const WaveformPeaks peaks = PeaksOfSamples(bytes.data(), bytes.size(), layout);
    EXPECT_EQ(peaks.Channels(), 0);
    EXPECT_EQ(peaks.Frames(), 0);
    EXPECT_TRUE(peaks.Columns(10).empty());
  }
}

TEST(WaveformPeaks, PiecesSplittingFramesGiveTheSamePeaksAsOneWhole) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  std::vector<float> values(2 * 5000);
  for (float& v : values) v = noise(random);
  const SampleLayout layout = LayoutOf(SampleKind::S24, 2);
  const std::vector<uint8_t> bytes = SampleBytes(layout, values);
  WaveformScan scan(layout, 5000);
  for (size_t at = 0; at < bytes.size();) {
    const size_t piece = std::min<size_t>(1 + random() % 97, bytes.size() - at);
    scan.Add(bytes.data() + at, piece);
    at += piece;
  }
  const WaveformPeaks pieces = scan.Finish();
  EXPECT_EQ(pieces.Frames(), 5000);
  EXPECT_EQ(pieces.Columns(333), PeaksOfSamples(bytes.data(), bytes.size(), layout).Columns(333));
}

// A long sound keeps coarser bins; every column equals the extremes of the
// samples it covers, widened to the finest bins' edges.
TEST(WaveformPeaks, ALongSoundReducesExactlyThroughItsLevels) {
  const int frames = 3'000'001;
  std::mt19937 random(11);
  std::vector<float> values(static_cast<size_t>(frames));
  float walk = 0;
  for (float& v : values)
    v = walk = std::clamp(walk + (random() % 201 - 100) / 32768.0f, -1.f, 1.f);
  const SampleLayout layout = LayoutOf(SampleKind::S16, 1);
  const std::vector<uint8_t> bytes = SampleBytes(layout, values);
  const WaveformPeaks peaks = PeaksOfSamples(bytes.data(), bytes.size(), layout);
  ASSERT_EQ(peaks.FinestBinFrames(), 256);
  EXPECT_GE(peaks.Levels(), 3);
  for (int width : {1, 7, 640, 1999}) {
    SCOPED_TRACE(width);
    const PeakColumns columns = peaks.Columns(width);
    for (int x = 0; x < width; ++x) {
      const int64_t from = int64_t{x} * frames / width / 256 * 256;
      const int64_t to =
          std::min<int64_t>((int64_t{x + 1} * frames / width + 255) / 256 * 256, frames);
      int16_t low = 32767, high = -32768;
      for (int64_t f = from; f < to; ++f) {
        int16_t s;
        std::memcpy(&s, bytes.data() + 2 * f, 2);
        low = std::min(low, s);
        high = std::max(high, s);
      }
      ASSERT_EQ(columns[0][x], (PeakRange{low / 32768.0f, high / 32768.0f})) << "column " << x;
    }
  }
}

TEST(WaveformPeaks, FinestBinsGrowWithTheSoundSoTheirCountStaysSmall) {
  const struct {
    int64_t frames, bin;
  } cases[] = {{0, 1},        {44100, 1},     {131072, 1},     {131073, 16},
               {2097152, 16}, {2097153, 256}, {26460000, 256}, {40000000, 4096}};
  for (const auto& c : cases) EXPECT_EQ(FinestBinFramesFor(c.frames), c.bin) << c.frames;
}

TEST(WaveformPeaks, AFrameLiesInTheColumnThatCoversIt) {
  const std::vector<float> values(1000, 0.0f);
  const std::vector<uint8_t> bytes = SampleBytes(LayoutOf(SampleKind::S16, 1), values);
  const WaveformPeaks peaks =
      PeaksOfSamples(bytes.data(), bytes.size(), LayoutOf(SampleKind::S16, 1));
  const struct {
    int64_t frame;
    int width, column;
  } cases[] = {{0, 100, 0},     {9, 100, 0},   {10, 100, 1},      {999, 100, 99},
               {1000, 100, -1}, {-1, 100, -1}, {500, 3, 1},       {332, 3, 0},
               {333, 3, 1},     {0, 0, -1},    {999, 4000, 3999}, {1, 4000, 7}};
  for (const auto& c : cases)
    EXPECT_EQ(peaks.ColumnOfFrame(c.frame, c.width), c.column) << c.frame << " of " << c.width;
}

}  // namespace
