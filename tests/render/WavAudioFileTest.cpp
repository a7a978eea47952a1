// Reading and writing WAV files with the wave buffer.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "common/Exception.h"
#include "render/WavAudioSupport.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"
#include "support/TempDir.h"

using namespace wavtest;
using namespace std::string_literals;
using wavaudio::TWave;

namespace {

// Loads bytes written to a file in a fresh folder.
void LoadBytes(TWave& wave, const std::string& bytes) {
  TempDir dir;
  WriteBytes(dir / "in.wav", bytes);
  wave.LoadFromFile(dir / "in.wav");
}

}  // namespace

TEST(WavAudioLoad, ShortFmtChunkOverwritesOnlyItsLeadingFields) {
  TWave wave;
  const std::string fmt14 = Fmt(1, 8000, 8).substr(0, 14);  // no wBitsPerSample
  LoadBytes(wave, Riff(Chunk("fmt ", fmt14) + Chunk("data", Pcm16({1, 2, 3}))));
  EXPECT_EQ(wave.Format.nChannels, 1);
  EXPECT_EQ(wave.Format.nSamplesPerSec, 8000u);
  EXPECT_EQ(wave.Format.nBlockAlign, 1);
  EXPECT_EQ(wave.Format.wBitsPerSample, 16);  // kept from the fresh wave
  // The walk stayed in step and found the data chunk after the short body.
  EXPECT_EQ(wave.FrameCount(), 6);
  EXPECT_EQ(Bytes(wave), Pcm16({1, 2, 3}));
}

TEST(WavAudioLoad, DataBeforeFmtCountsFramesWithTheBlockAlignHeldThen) {
  TWave wave;
  // 10 bytes at the default block align 4: 2.5 rounds to even, 2 frames.
  LoadBytes(wave, Riff(Chunk("data", std::string(10, '\x01')) + Chunk("fmt ", Fmt(1, 22050, 16))));
  EXPECT_EQ(wave.FrameCount(), 2);
  EXPECT_EQ(wave.Format.nBlockAlign, 2);
  EXPECT_EQ(wave.Format.nSamplesPerSec, 22050u);

  TWave other;
  LoadBytes(other, Riff(Chunk("data", std::string(6, '\x01'))));  // 1.5 rounds to 2
  EXPECT_EQ(other.FrameCount(), 2);
}

TEST(WavAudioLoad, PadByteAfterAnOddChunkPutsTheWalkOutOfStep) {
  const std::string rest = Chunk("fmt ", Fmt(1, 8000, 16)) + Chunk("data", Pcm16({7, 8}));
  TWave padded;
  LoadBytes(padded, Riff(Chunk("LIST", "abc", /*padOdd=*/true) + rest));
  EXPECT_EQ(padded.FrameCount(), 0);
  EXPECT_EQ(padded.Format.nSamplesPerSec, 44100u);
  EXPECT_TRUE(padded.Data().empty());

  TWave unpadded;
  LoadBytes(unpadded, Riff(Chunk("LIST", "abc") + rest));
  EXPECT_EQ(unpadded.FrameCount(), 2);
  EXPECT_EQ(unpadded.Format.nSamplesPerSec, 8000u);
}

TEST(WavAudioLoad, LongFmtChunkIsCutToTheRecordAndTheRestSkipped) {
  TWave wave;
  LoadBytes(wave, Riff(Chunk("fmt ", Fmt(2, 48000, 16) + U16(0) + "xy") +
                       Chunk("data", Pcm16({1, -1, 2, -2}))));
  EXPECT_EQ(wave.Format.nSamplesPerSec, 48000u);
  EXPECT_EQ(wave.FrameCount(), 2);
  EXPECT_EQ(wave.GetSample(1, 1), -2);
}

TEST(WavAudioLoad, RiffSizeDecidesHowFarTheWalkGoes) {
  const std::string chunks = Chunk("fmt ", Fmt(1, 8000, 16)) + Chunk("data", Pcm16({5, 6, 7}));
  TWave beyondEnd;  // the walk ends with the file
  LoadBytes(beyondEnd, Riff(chunks, 0x7FFFFFF0));
  EXPECT_EQ(beyondEnd.FrameCount(), 3);

  TWave shortSize;  // the walk stops after the fmt chunk
  LoadBytes(shortSize, Riff(chunks, 4 + 24));
  EXPECT_EQ(shortSize.Format.nSamplesPerSec, 8000u);
  EXPECT_EQ(shortSize.FrameCount(), 0);

  TWave negative;  // taken as signed: no walk at all
  LoadBytes(negative, Riff(chunks, 0x80000000u));
  EXPECT_EQ(negative.Format.nSamplesPerSec, 44100u);
}

TEST(WavAudioLoad, LaterDataChunkReplacesEarlierAndNoDataKeepsThePrevious) {
  TWave wave;
  LoadBytes(wave, Riff(Chunk("fmt ", Fmt(1, 8000, 16)) + Chunk("data", Pcm16({1, 2})) +
                       Chunk("data", Pcm16({3, 4, 5}))));
  EXPECT_EQ(Bytes(wave), Pcm16({3, 4, 5}));
  EXPECT_EQ(wave.FrameCount(), 3);

  LoadBytes(wave, Riff(Chunk("fmt ", Fmt(1, 11025, 16))));
  EXPECT_EQ(wave.Format.nSamplesPerSec, 11025u);
  EXPECT_EQ(Bytes(wave), Pcm16({3, 4, 5}));
  EXPECT_EQ(wave.FrameCount(), 3);
}

TEST(WavAudioLoad, FilesThatAreNotRiffWaveAreIgnoredSilently) {
  TWave wave;
  Fill(wave, 1, 8000, {10, 20});
  const std::string good = Chunk("fmt ", Fmt(2, 44100, 16)) + Chunk("data", Pcm16({1, 1}));
  for (const std::string& bytes :
       {std::string(), std::string("RIF"), std::string("RIFF\x08\0\0\0WAV", 11),
        "riff" + Riff(good).substr(4), Riff(good).replace(8, 4, "wave"),
        Riff(good).replace(0, 4, "RIFX")}) {
    EXPECT_NO_THROW(LoadBytes(wave, bytes));
    EXPECT_EQ(wave.Format.nChannels, 1);
    EXPECT_EQ(Bytes(wave), Pcm16({10, 20}));
  }
}

TEST(WavAudioLoad, MissingFileRaisesTheOpenError) {
  TempDir dir;
  TWave wave;
  try {
    wave.LoadFromFile(dir / "none.wav");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + (dir / "none.wav").string());
  }
}

TEST(WavAudioLoad, CutOffOrOversizedDataRaisesReadErrorAndChangesNothing) {
  TWave wave;
  Fill(wave, 1, 8000, {10, 20});
  const std::string fmt = Chunk("fmt ", Fmt(2, 44100, 16));
  for (std::uint32_t claimed : {100u, 0xFFFFFFF0u}) {
    const std::string bytes = Riff(fmt + "data" + U32(claimed) + Pcm16({1, 2, 3}), 0x7FFFFFFF);
    EXPECT_THROW(LoadBytes(wave, bytes), EReadError);
    EXPECT_EQ(wave.Format.nChannels, 1);  // the fmt chunk before it is not taken either
    EXPECT_EQ(Bytes(wave), Pcm16({10, 20}));
    EXPECT_EQ(wave.FrameCount(), 2);
  }
}

TEST(WavAudioLoad, BlockAlignZeroAtTheDataChunkIsAnArithmeticError) {
  TWave wave;
  EXPECT_THROW(LoadBytes(wave, Riff(Chunk("fmt ", Fmt(1, 8000, 16, 0)) + Chunk("data", "ab"))),
               wavaudio::EZeroDivide);
  EXPECT_THROW(LoadBytes(wave, Riff(Chunk("fmt ", Fmt(1, 8000, 16, 0)) + Chunk("data", ""))),
               wavaudio::EInvalidOp);
  EXPECT_EQ(wave.Format.nBlockAlign, 4);
}

TEST(WavAudioLoad, InFileStorageTheDataGoesToTheBackingFile) {
  TempDir dir;
  TWave wave;
  wave.FileName = dir / "work.tmp";
  wave.SetUseFile(true);
  wave.SetSample(0, 3, 99);  // a window with its own content, replaced by the load
  WriteBytes(dir / "in.wav",
             Riff(Chunk("fmt ", Fmt(2, 44100, 16)) + Chunk("data", Pcm16({1, 2, 3, 4, 5, 6}))));
  wave.LoadFromFile(dir / "in.wav");
  EXPECT_EQ(ReadFileBytes(dir / "work.tmp"), Pcm16({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(wave.FrameCount(), 3);
  EXPECT_EQ(wave.GetSample(1, 2), 6);
  EXPECT_EQ(wave.GetSample(0, 3), 0);
}

TEST(WavAudioLoad, DamagedFilesNeverCrash) {
  TWave source;
  Fill(source, 2, 44100, {1, 2, 3, 4, 5, 6, 7, 8});
  TempDir dir;
  source.SaveToFile(dir / "good.wav");
  const std::string good = ReadFileBytes(dir / "good.wav");
  std::mt19937 random(7);
  for (int round = 0; round < 1500; ++round) {
    std::string bytes = good.substr(0, random() % (good.size() + 1));
    for (int k = random() % 4; k >= 0 && !bytes.empty(); --k)
      bytes[random() % bytes.size()] = static_cast<char>(random());
    TWave wave;
    try {
      WriteBytes(dir / "in.wav", bytes);
      wave.LoadFromFile(dir / "in.wav");
      wave.GetSample(1, 0);
    } catch (const Exception&) {
    }
  }
}

TEST(WavAudioSave, EightBitMonoOfThreeBytesIs47BytesWithoutPad) {
  TWave wave;
  wave.Format = {1, 1, 8000, 8000, 1, 8};
  wave.SetSample(0, 0, 32767);
  wave.SetSample(0, 1, -32767);
  wave.SetSample(0, 2, 0);
  TempDir dir;
  wave.SaveToFile(dir / "out.wav");
  const std::string file = ReadFileBytes(dir / "out.wav");
  EXPECT_EQ(file, Riff(Chunk("fmt ", Fmt(1, 8000, 8)) + Chunk("data", "\xFF\x00\x80"s)));
  EXPECT_EQ(file.size(), 47u);
  EXPECT_EQ(file.substr(4, 4), U32(39));
}

TEST(WavAudioSave, FormatRecordIsWrittenAsHeldEvenWhenInconsistent) {
  TWave wave;
  wave.Format = {3, 2, 1234, 99, 6, 12};
  TempDir dir;
  wave.SaveToFile(dir / "odd.wav");
  EXPECT_EQ(ReadFileBytes(dir / "odd.wav"),
            Riff(Chunk("fmt ", U16(3) + U16(2) + U32(1234) + U32(99) + U16(6) + U16(12)) +
                 Chunk("data", "")));
}

TEST(WavAudioSave, PythonWaveReadsTheSavedFile) {
  TWave wave;
  Fill(wave, 2, 44100, {100, -100, 32767, -32767, 0, 1});
  TempDir dir;
  wave.SaveToFile(dir / "py.wav");
  const std::string script =
      "import wave,sys\n"
      "w = wave.open(sys.argv[1])\n"
      "print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes(),"
      " w.readframes(3).hex())\n";
  WriteBytes(dir / "read.py", script);
  const std::string command =
      "python3 " + (dir / "read.py").string() + " " + (dir / "py.wav").string();
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[256] = {};
  const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
  EXPECT_EQ(pclose(pipe), 0);
  ASSERT_TRUE(got);
  EXPECT_EQ(std::string(line), "2 2 44100 3 64009cffff7f018000000100\n");
}

TEST(WavAudioSave, FileStorageSavesItsWindowToo) {
  TempDir dir;
  TWave wave;
  wave.FileName = dir / "work.tmp";
  wave.SetUseFile(true);
  wave.SetSample(0, 0, 5);
  wave.SetSample(1, 0, -5);
  ASSERT_EQ(wave.WindowStart(), 0);  // the writes are still in the window
  wave.SaveToFile(dir / "out.wav");
  EXPECT_EQ(ReadFileBytes(dir / "out.wav"),
            Riff(Chunk("fmt ", Fmt(2, 44100, 16)) + Chunk("data", Pcm16({5, -5}))));
}

TEST(WavAudioSave, FailedSaveLeavesTheOldFileAlone) {
  TempDir dir;
  WriteBytes(dir / "keep.wav", "old");
  std::filesystem::create_directory(dir / "keep.wav.part");
  TWave wave;
  try {
    wave.SaveToFile(dir / "keep.wav");
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + (dir / "keep.wav").string());
  }
  EXPECT_EQ(ReadFileBytes(dir / "keep.wav"), "old");
}
