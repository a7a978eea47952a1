// Peaks are computed once per sound and again when the sound changes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/Exception.h"
#include "kit/Wave.h"
#include "kit/WaveformCache.h"
#include "kit/WaveformScan.h"
#include "kit/WaveformSignals.h"
#include "kit/WaveformSource.h"
#include "support/TempDir.h"

namespace {

WaveformPeaks Counted(int& computed) {
  ++computed;
  const std::vector<float> values = Square(64, 8, 0.5f);
  const SampleLayout layout = LayoutOf(SampleKind::F32, 1);
  const std::vector<uint8_t> bytes = SampleBytes(layout, values);
  return PeaksOfSamples(bytes.data(), bytes.size(), layout);
}

TEST(WaveformCache, TheSameSoundIsComputedOnceAndSharedAfterwards) {
  WaveformCache cache;
  int computed = 0;
  const auto first = cache.Get({"kick", 1}, [&] { return Counted(computed); });
  const auto again = cache.Get({"kick", 1}, [&] { return Counted(computed); });
  EXPECT_EQ(computed, 1);
  EXPECT_EQ(first, again);
  cache.Get({"kick", 2}, [&] { return Counted(computed); });
  cache.Get({"snare", 1}, [&] { return Counted(computed); });
  EXPECT_EQ(computed, 3);
  EXPECT_EQ(cache.Count(), 3u);
}

TEST(WaveformCache, TheSoundUsedLongestAgoMakesRoomAtCapacity) {
  WaveformCache cache(2);
  int computed = 0;
  cache.Get({"a", 0}, [&] { return Counted(computed); });
  cache.Get({"b", 0}, [&] { return Counted(computed); });
  cache.Get({"a", 0}, [&] { return Counted(computed); });  // a is newer than b now
  cache.Get({"c", 0}, [&] { return Counted(computed); });  // b goes
  EXPECT_EQ(computed, 3);
  cache.Get({"a", 0}, [&] { return Counted(computed); });
  EXPECT_EQ(computed, 3);
  cache.Get({"b", 0}, [&] { return Counted(computed); });
  EXPECT_EQ(computed, 4);
  EXPECT_EQ(cache.Count(), 2u);
}

TEST(WaveformCache, AFailedComputationKeepsNothing) {
  WaveformCache cache;
  EXPECT_THROW(cache.Get({"bad", 0}, []() -> WaveformPeaks { throw Exception("unreadable"); }),
               Exception);
  EXPECT_EQ(cache.Count(), 0u);
  int computed = 0;
  cache.Get({"bad", 0}, [&] { return Counted(computed); });
  EXPECT_EQ(computed, 1);
}

TEST(WaveformSource, AWaveInMemoryIsComputedAgainOnlyWhenItsSamplesChange) {
  WaveformCache cache;
  Wave::TWave wave = WaveOf(2, std::vector<float>(2 * 1000, 0.25f));
  const auto first = WaveformOf(cache, wave);
  EXPECT_EQ(WaveformOf(cache, wave), first);
  Wave::TWave copy;
  copy.Assign(&wave);
  EXPECT_EQ(WaveformOf(cache, copy), first) << "the same samples elsewhere";

  // One sample changes, the size stays.
  wave.Data()[2 * 2 * 500] = 0x00;
  wave.Data()[2 * 2 * 500 + 1] = 0x80;
  const auto changed = WaveformOf(cache, wave);
  ASSERT_NE(changed, first);
  EXPECT_EQ(changed->Columns(1)[0][0], (PeakRange{-1.0f, 0.25f}));
  EXPECT_EQ(first->Columns(1)[0][0], (PeakRange{0.25f, 0.25f}));
}

TEST(WaveformSource, ALongWaveInMemoryIsKnownByPiecesOfItsSamples) {
  Wave::TWave wave = WaveOf(2, std::vector<float>(2 * 3'000'000, 0.0f));
  const SoundIdentity before = IdentityOfWave(wave);
  EXPECT_EQ(IdentityOfWave(wave), before);
  wave.Data()[0] = 1;  // the first piece is always read
  EXPECT_NE(IdentityOfWave(wave), before);
}

TEST(WaveformSource, AFileIsReadAgainWhenItChanges) {
  TempDir dir;
  const auto path = dir / "hit.wav";
  WaveOf(1, Square(2000, 100, 0.5f)).SaveToFile(path);
  WaveformCache cache;
  const auto first = WaveformOfFile(cache, path);
  ASSERT_EQ(first->Frames(), 2000);
  EXPECT_EQ(first->Columns(1)[0][0], (PeakRange{-0.5f, 0.5f}));
  EXPECT_EQ(WaveformOfFile(cache, path), first);

  WaveOf(1, Square(2000, 100, 0.25f)).SaveToFile(path);
  // A file system with coarse times could give the rewrite the same time.
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));
  const auto rewritten = WaveformOfFile(cache, path);
  ASSERT_NE(rewritten, first);
  EXPECT_EQ(rewritten->Columns(1)[0][0], (PeakRange{-0.25f, 0.25f}));
}

TEST(WaveformSource, AFileGivesThePeaksOfTheSameWaveInMemory) {
  TempDir dir;
  std::vector<float> values;
  for (int i = 0; i < 3000; ++i) values.insert(values.end(), {i / 4096.0f, -i / 8192.0f});
  const Wave::TWave wave = WaveOf(2, values);
  wave.SaveToFile(dir / "ramp.wav");
  const WaveformPeaks fromFile = PeaksOfWaveFile(dir / "ramp.wav");
  EXPECT_EQ(fromFile.Frames(), 3000);
  EXPECT_EQ(fromFile.Columns(77), PeaksOfWave(wave).Columns(77));
}

TEST(WaveformSource, AMissingFileRaisesAndAWaveWithoutFormatHasNoPeaks) {
  TempDir dir;
  WaveformCache cache;
  EXPECT_THROW(WaveformOfFile(cache, dir / "gone.wav"), EFOpenError);
  EXPECT_EQ(PeaksOfWave(Wave::TWave{}).Channels(), 0);
}

}  // namespace
