// The span mixer against the sample-by-sample definition: same bytes, same
// frame counts, in every storage and format, packed or not.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "render/WavAudioSupport.h"
#include "render/wavaudio.h"
#include "render/wavaudioBySample.h"
#include "render/wavaudioMath.h"
#include "render/wavaudioVoice.h"
#include "support/TempDir.h"

using namespace wavtest;
using wavaudio::TWave;
using wavaudio::TWaveFormat;

namespace {

const std::vector<TWaveFormat> kDestFormats = {
    {1, 2, 44100, 176400, 4, 16},
    {1, 1, 22050, 44100, 2, 16},
    {1, 2, 8000, 16000, 2, 8},
    {1, 1, 11025, 11025, 1, 8},
    {1, 3, 44100, 264600, 6, 16},
    // Not packed: padded frames, overlapping channels, odd sample widths.
    {1, 2, 44100, 264600, 6, 16},
    {1, 2, 44100, 88200, 2, 16},
    {1, 2, 44100, 264600, 6, 24},
    {1, 1, 44100, 88200, 2, 12}};

std::string Content(const TWave& wave) {
  if (wave.UseFile()) return ReadFileBytes(wave.FileName);
  return Bytes(wave);
}

class Random {
 public:
  explicit Random(unsigned seed) : engine_(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
  double Real(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }
  template <class T>
  const T& Pick(const std::vector<T>& from) {
    return from[std::size_t(Int(0, int(from.size()) - 1))];
  }
  int Sample() { return Int(0, 9) == 0 ? Pick<int>({-32768, 32767, -32767}) : Int(-30000, 30000); }

 private:
  std::mt19937 engine_;
};

// Sources of every kind, some not packed and some in file storage, where the
// mixer reads them sample by sample.
void RandomSource(Random& random, TWave& source, const std::filesystem::path& file) {
  source.Format = random.Pick<TWaveFormat>({{1, 1, 44100, 88200, 2, 16},
                                            {1, 2, 44100, 176400, 4, 16},
                                            {1, 1, 22050, 22050, 1, 8},
                                            {1, 2, 48000, 192000, 4, 16},
                                            {1, 1, 8000, 16000, 2, 16},
                                            {1, 2, 32000, 192000, 6, 24}});
  const int frames = random.Int(1, 300);
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < source.Format.nChannels; ++c) source.SetSample(c, f, random.Sample());
  if (random.Int(0, 5) == 0) {
    source.FileName = file;
    source.SetUseFile(true);
  }
}

// Both destinations get the same start: random frames, sometimes followed by
// stray bytes that leave the data out of step with FrameCount.
void SameStart(Random& random, TWave& a, TWave& b, const TempDir& dir, bool file, int round) {
  const TWaveFormat format = random.Pick(kDestFormats);
  const int frames = random.Int(0, 40);
  std::string data;
  for (int f = 0; f < frames * format.nBlockAlign; ++f) data.push_back(char(random.Int(0, 255)));
  if (random.Int(0, 3) == 0) data.push_back('\x7F');
  WriteBytes(
      dir / "start.wav",
      Riff(Chunk("fmt ", std::string(reinterpret_cast<const char*>(format.ToBytes().data()), 16)) +
           Chunk("data", data)));
  int k = 0;
  for (TWave* wave : {&a, &b}) {
    wave->LoadFromFile(dir / "start.wav");
    if (file) {
      wave->FileName = dir / ("work" + std::to_string(round) + "_" + std::to_string(k++));
      wave->SetUseFile(true);
    }
  }
}

}  // namespace

TEST(WavAudioEquivalence, SpanMixerMatchesTheSampleBySampleMix) {
  Random random(2024);
  TempDir dir;
  for (int round = 0; round < 400; ++round) {
    const bool file = round % 2 == 1;
    TWave fast, slow;
    SameStart(random, fast, slow, dir, file, round);
    for (int hit = random.Int(1, 5); hit > 0; --hit) {
      TWave source;
      RandomSource(random, source, dir / "source.tmp");
      const int own = int(source.Format.nSamplesPerSec);
      const int rate = random.Pick<int>({own, own, own / 2, own * 3 / 2, 11025, 96000, 44100});
      const double volume = random.Pick<double>({1, 0.875, -0.125, 0, 1.7, random.Real(-2, 2)});
      const double pan = random.Pick<double>({0, 0.5, -2, -1, 1, 2, random.Real(-2.5, 2.5)});
      const double time = random.Int(0, 3) == 0
                              ? random.Real(-0.001, 0.01)
                              : random.Int(-20, 200) / double(fast.Format.nSamplesPerSec);
      fast.MixWave(&source, rate, volume, pan, time);
      wavaudio::MixWaveBySample(slow, &source, rate, volume, pan, time);
      ASSERT_EQ(fast.FrameCount(), slow.FrameCount()) << round;
      ASSERT_EQ(Content(fast), Content(slow)) << round;
    }
  }
}

TEST(WavAudioEquivalence, HitsAcrossTheWindowEdgeMatch) {
  TempDir dir;
  TWave fast, slow;
  fast.FileName = dir / "fast.tmp";
  slow.FileName = dir / "slow.tmp";
  fast.SetUseFile(true);
  slow.SetUseFile(true);
  TWave source;
  Random random(5);
  std::vector<int> samples(2 * 3000);
  for (int& s : samples) s = random.Sample();
  Fill(source, 2, 44100, samples);
  // The first hit sets where the window starts; later ones cross its end.
  for (const int frame : {1000, 500900, 501000, 998000, 1001000, 400}) {
    fast.MixWave(&source, 33075, 0.9, -0.3, frame / 44100.0);
    wavaudio::MixWaveBySample(slow, &source, 33075, 0.9, -0.3, frame / 44100.0);
  }
  EXPECT_EQ(fast.FrameCount(), slow.FrameCount());
  EXPECT_TRUE(ReadFileBytes(dir / "fast.tmp") == ReadFileBytes(dir / "slow.tmp"));
}

TEST(WavAudioEquivalence, BuildingBlockByBlockWithKeptWindowsMatchesHitByHit) {
  // The way a long render can work: for each block of frames, every hit that
  // touches it, in the same order as the hit-by-hit mix.
  TempDir dir;
  Random random(11);
  TWave kick, snare;
  std::vector<int> a(2 * 30000), b(20000);
  for (int& s : a) s = random.Sample();
  for (int& s : b) s = random.Sample();
  Fill(kick, 2, 44100, a);
  Fill(snare, 1, 22050, b);
  struct Hit {
    const TWave* source;
    int rate;
    double volume, pan, time;
  };
  std::vector<Hit> hits;
  for (int i = 0; i < 60; ++i) hits.push_back({&kick, 44100, 0.875, 0, 0.45 * i});
  for (int i = 0; i < 40; ++i) hits.push_back({&snare, 30000, -0.125, 0.5, 0.63 * i + 0.01});

  TWave expected;
  expected.FileName = dir / "expected.tmp";
  expected.SetUseFile(true);
  for (const Hit& h : hits) expected.MixWave(h.source, h.rate, h.volume, h.pan, h.time);

  TWave blocks;
  blocks.FileName = dir / "blocks.tmp";
  blocks.SetUseFile(true);
  std::vector<wavaudio::MixVoice> voices;
  std::vector<std::int32_t> offsets;
  std::int64_t end = 0;
  for (const Hit& h : hits) {
    voices.emplace_back(*h.source, h.rate, h.volume, h.pan, blocks.Format);
    offsets.push_back(blocks.MixOffset(h.time));
    end = std::max<std::int64_t>(end, offsets.back() + voices.back().DestLen());
  }
  for (std::int32_t block = 0; block < end; block += wavaudio::kWindowFrames) {
    blocks.PlaceWindow(block);
    for (std::size_t i = 0; i < voices.size(); ++i)
      blocks.AddVoice(voices[i], offsets[i], block, block + wavaudio::kWindowFrames);
  }
  blocks.FlushWindow();
  EXPECT_EQ(blocks.FrameCount(), expected.FrameCount());
  EXPECT_TRUE(ReadFileBytes(dir / "blocks.tmp") == ReadFileBytes(dir / "expected.tmp"));
}

TEST(WavAudioEquivalence, FastRoundingMatchesNearbyint) {
  Random random(3);
  std::vector<double> values = {0.5,
                                1.5,
                                2.5,
                                -0.5,
                                -1.5,
                                -2.5,
                                32767.5,
                                -32767.5,
                                1e-300,
                                -0.0,
                                0.49999999999999994,
                                1048575.5,
                                1048576.5,
                                4503599627370497.0};
  for (int i = 0; i < 100000; ++i) values.push_back(random.Real(-70000, 70000));
  for (int i = 0; i < 1000; ++i) values.push_back(random.Int(-70000, 70000) + 0.5);
  for (double v : values) {
    const double exact = std::nearbyint(v);
    const double clipped = std::clamp(exact, -1048576.0, 1048576.0);
    ASSERT_EQ(wavaudio::RoundForMix(v), clipped) << v;
  }
}
