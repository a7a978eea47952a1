// Single samples, memory and file storage, and the window.
#include <gtest/gtest.h>

#include "render/WavAudioSupport.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"
#include "support/TempDir.h"

using namespace wavtest;
using wavaudio::kNoWindow;
using wavaudio::kWindowFrames;
using wavaudio::TWave;

TEST(WavAudioSamples, AddressingAcceptsChannelNChannelsAsTheNextFrame) {
  TWave wave;
  Fill(wave, 2, 44100, {1, 2, 3, 4});
  EXPECT_EQ(wave.GetSample(2, 0), 3);
  EXPECT_EQ(wave.GetSample(2, 1), 0);  // past the end of the bytes
  EXPECT_EQ(wave.GetSample(3, 0), 0);
  EXPECT_EQ(wave.GetSample(-1, 1), 0);
  EXPECT_EQ(wave.GetSample(0, -1), 0);
  EXPECT_EQ(wave.GetSample(0, 2), 0);
  wave.SetSample(2, 0, 30);
  wave.SetSample(3, 0, 99);
  wave.SetSample(-1, 1, 99);
  wave.SetSample(1, -1, 99);
  EXPECT_EQ(Bytes(wave), Pcm16({1, 2, 30, 4}));
  EXPECT_EQ(wave.FrameCount(), 2);
}

TEST(WavAudioSamples, SixteenBitWritesKeepTheLowBitsAndEightBitRounds) {
  TWave wave;
  wave.SetSample(0, 0, 70000);
  wave.SetSample(1, 0, -40000);
  EXPECT_EQ(wave.GetSample(0, 0), 70000 - 65536);
  EXPECT_EQ(wave.GetSample(1, 0), -40000 + 65536);

  TWave eight;
  eight.Format = {1, 1, 8000, 8000, 1, 8};
  const std::vector<std::pair<int, int>> writes = {
      {32767, 255}, {-32767, 0}, {0, 128}, {-40000, 0}, {127, 128}, {128, 129}, {-128, 127}};
  for (std::size_t i = 0; i < writes.size(); ++i) {
    eight.SetSample(0, int(i), writes[i].first);
    EXPECT_EQ(eight.Data()[i], writes[i].second) << writes[i].first;
  }
  EXPECT_EQ(eight.GetSample(0, 0), 32385);
  EXPECT_EQ(eight.GetSample(0, 1), -32640);
  EXPECT_EQ(eight.GetSample(0, 2), 0);
}

TEST(WavAudioSamples, WritingPastTheEndFillsTheGapWithSilence) {
  TWave eight;
  eight.Format = {1, 2, 8000, 16000, 2, 8};
  eight.SetSample(1, 3, 32767);
  EXPECT_EQ(eight.Data(), (std::vector<std::uint8_t>{128, 128, 128, 128, 128, 128, 128, 255}));
  EXPECT_EQ(eight.FrameCount(), 4);
  EXPECT_DOUBLE_EQ(eight.Duration(), 4 / 8000.0);
  eight.Format.nSamplesPerSec = 0;
  EXPECT_THROW(eight.Duration(), wavaudio::EZeroDivide);
}

TEST(WavAudioFileStorage, SwitchingOnAndOffMovesTheBytes) {
  TempDir dir;
  TWave wave;
  Fill(wave, 2, 44100, {1, 2, 3, 4});
  wave.FileName = dir / "work.tmp";
  wave.SetUseFile(true);
  EXPECT_TRUE(wave.UseFile());
  EXPECT_TRUE(wave.Data().empty());
  EXPECT_EQ(wave.WindowStart(), kNoWindow);
  EXPECT_EQ(ReadFileBytes(dir / "work.tmp"), Pcm16({1, 2, 3, 4}));
  EXPECT_EQ(wave.GetSample(1, 1), 4);  // read from the file itself

  wave.SetSample(0, 2, 5);
  EXPECT_EQ(wave.WindowStart(), 2);
  EXPECT_EQ(wave.GetSample(0, 2), 5);
  EXPECT_EQ(wave.GetSample(0, 1), 3);
  wave.SetUseFile(false);  // the window's write comes along
  EXPECT_FALSE(wave.UseFile());
  EXPECT_EQ(Bytes(wave), Pcm16({1, 2, 3, 4, 5}));
  EXPECT_EQ(wave.FrameCount(), 3);
}

TEST(WavAudioFileStorage, CreatingTheBackingFileCanFail) {
  TempDir dir;
  TWave wave;
  wave.FileName = dir / "no" / "such" / "work.tmp";
  EXPECT_THROW(wave.SetUseFile(true), EFCreateError);
  EXPECT_FALSE(wave.UseFile());
}

TEST(WavAudioFileStorage, TheWindowMovesFlushesAndNeverLosesAWrite) {
  TempDir dir;
  TWave wave;
  wave.FileName = dir / "work.tmp";
  wave.SetUseFile(true);
  wave.SetSample(0, 10, 111);
  EXPECT_EQ(wave.WindowStart(), 10);
  wave.SetSample(1, 10 + kWindowFrames - 1, 222);  // still inside
  EXPECT_EQ(wave.WindowStart(), 10);
  // Channel 2 of the window's last frame is the first sample after it.
  wave.SetSample(2, 10 + kWindowFrames - 1, 333);
  EXPECT_EQ(wave.WindowStart(), 10 + kWindowFrames - 1);
  wave.SetSample(0, 5, 444);  // before the window: it moves back
  EXPECT_EQ(wave.WindowStart(), 5);
  wave.FlushWindow();
  EXPECT_EQ(wave.WindowStart(), kNoWindow);
  // The last write was to frame 9 + kWindowFrames, channel 2: FrameCount
  // counts that frame; the file holds half a frame more (rounded to even).
  EXPECT_EQ(wave.FrameCount(), 10 + kWindowFrames);
  const std::string file = ReadFileBytes(dir / "work.tmp");
  ASSERT_EQ(file.size(), 4u * (10 + kWindowFrames) + 2);
  EXPECT_EQ(file.substr(4 * (10 + kWindowFrames)), Pcm16({333}));
  EXPECT_EQ(file.substr(4 * (9 + kWindowFrames), 4), Pcm16({0, 222}));
  EXPECT_EQ(file.substr(0, 42),
            std::string(20, '\0') + Pcm16({444}) + std::string(18, '\0') + Pcm16({111}));
}

TEST(WavAudioFileStorage, FlushRecountsFramesFromTheFileSize) {
  TempDir dir;
  TWave wave;
  wave.FileName = dir / "work.tmp";
  wave.SetUseFile(true);
  wave.SetSample(0, 2, 7);  // 10 bytes: 2.5 frames, rounding to even gives 2
  EXPECT_EQ(wave.FrameCount(), 3);
  wave.FlushWindow();
  EXPECT_EQ(wave.FrameCount(), 2);
}

TEST(WavAudioFileStorage, DestroyingTheWaveKeepsTheBackingFileComplete) {
  TempDir dir;
  {
    TWave wave;
    wave.FileName = dir / "work.tmp";
    wave.SetUseFile(true);
    wave.SetSample(0, 0, 1);
    wave.SetSample(1, 0, 2);
  }
  EXPECT_EQ(ReadFileBytes(dir / "work.tmp"), Pcm16({1, 2}));
}

TEST(WavAudioFileStorage, AWindowPlacedBeyondTheEndIsFilledWhenWritten) {
  TempDir dir;
  TWave wave;
  wave.Format = {1, 1, 8000, 8000, 1, 8};
  wave.FileName = dir / "work.tmp";
  wave.SetUseFile(true);
  wave.PlaceWindow(3);
  wave.FlushWindow();
  EXPECT_EQ(wave.FrameCount(), 0);  // placing alone writes nothing
  wave.PlaceWindow(3);
  wave.SetSample(0, 4, 32767);
  wave.FlushWindow();
  EXPECT_EQ(ReadFileBytes(dir / "work.tmp"), "\x80\x80\x80\x80\xFF");
}

TEST(WavAudioFileStorage, AWindowOverExistingSamplesReadsThemWhereverTouched) {
  TempDir dir;
  TWave wave;
  std::vector<int> samples(2 * 100000);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = int(i % 30000);
  Fill(wave, 2, 44100, samples);
  wave.FileName = dir / "work.tmp";
  wave.SetUseFile(true);
  wave.SetSample(0, 0, -1);  // loads a window over all 100000 frames
  ASSERT_EQ(wave.WindowStart(), 0);
  EXPECT_EQ(wave.GetSample(1, 90000), 180001 % 30000);
  wave.SetSample(1, 90000, -2);
  EXPECT_EQ(wave.GetSample(1, 90000), -2);
  EXPECT_EQ(wave.GetSample(0, 90001), 180002 % 30000);
  EXPECT_EQ(wave.DataSize(), 400000);
  wave.FlushWindow();
  EXPECT_EQ(wave.FrameCount(), 100000);
  samples[0] = -1;
  samples[180001] = -2;
  std::string expected;
  for (int s : samples) expected += U16(static_cast<std::uint16_t>(s));
  EXPECT_TRUE(ReadFileBytes(dir / "work.tmp") == expected);
}
