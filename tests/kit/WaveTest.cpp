#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/KitTestSupport.h"
#include "kit/Wave.h"
#include "support/TempDir.h"

namespace {

std::string MessageOf(const std::string& bytes) {
  try {
    WaveFromBytes(bytes);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

TEST(Wave, PcmFormatRecord) {
  Wave::Bytes f = Wave::MakePcmFormat(44100, 16, 2);
  EXPECT_EQ(std::string(f.begin(), f.end()),
            B({1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 0, 0}));
  Wave::TWave wave;
  wave.SetFormat(f);
  EXPECT_EQ(wave.FormatTag(), 1);
  EXPECT_EQ(wave.Channels(), 2);
  EXPECT_EQ(wave.SamplesPerSec(), 44100u);
  EXPECT_EQ(wave.AvgBytesPerSec(), 176400u);
  EXPECT_EQ(wave.BlockAlign(), 4);
  EXPECT_EQ(wave.BitsPerSample(), 16);
  wave.SetFormatSize(10);  // too short for the later fields
  EXPECT_EQ(wave.SamplesPerSec(), 44100u);
  EXPECT_EQ(wave.BlockAlign(), 0);
}

TEST(Wave, SizeGrowsInBlocksAndKeepsBytes) {
  Wave::TWave wave;
  wave.SetSize(100);
  wave.Data()[99] = 0x5A;
  const uint8_t* block = wave.Data();
  wave.SetSize(200);
  EXPECT_EQ(wave.Data(), block);  // same 8,096-byte block
  EXPECT_EQ(wave.Size(), 200);
  wave.SetSize(8097);
  EXPECT_EQ(wave.Size(), 8097);
  EXPECT_EQ(wave.Data()[99], 0x5A);
  wave.SetSize(-5);
  EXPECT_EQ(wave.Size(), 0);
  wave.SetFormatSize(-1);
  EXPECT_EQ(wave.FormatSize(), 0);
}

TEST(Wave, AssignCopiesClearsOrKeeps) {
  Wave::TWave source = PcmWave({1, -2, 3});
  Wave::TWave copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.Image(), source.Image());
  copy.Assign(&copy);
  EXPECT_EQ(copy.Image(), source.Image());
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Size(), 0);
  EXPECT_EQ(copy.FormatSize(), 0);
}

TEST(Wave, ImageLayoutWithTrailingZero) {
  Wave::TWave wave = PcmWave({0x0102, -1});
  std::string expected = "RIFF" + U32(4 + 8 + 18 + 8 + 4) + "WAVE" + "fmt " + U32(18) +
                         PcmFormat() + "data" + U32(4) + B({2, 1, 0xFF, 0xFF}) + B({0});
  EXPECT_EQ(wave.Image(), expected);

  TempDir dir;
  wave.SaveToFile(dir / "a.wav");
  EXPECT_EQ(std::filesystem::file_size(dir / "a.wav"), 12u + 8 + 18 + 8 + 4 + 1);
  Wave::TWave empty;
  empty.SetFormat(Wave::MakePcmFormat(44100, 16, 1));  // a format but no data
  EXPECT_EQ(empty.Image(), "");
  empty.SaveToFile(dir / "a.wav");
  EXPECT_EQ(std::filesystem::file_size(dir / "a.wav"), 0u);
}

TEST(Wave, ChunksAreReadWithoutPadBytesAndLaterOnesWin) {
  std::string data = B({1, 2, 3, 4});
  // An odd-sized chunk directly followed by the next header.
  Wave::TWave odd =
      WaveFromBytes(Riff(Chunk("LIST", "abc") + Chunk("fmt ", PcmFormat()) + Chunk("data", data)));
  EXPECT_EQ(FormatOf(odd), PcmFormat());
  EXPECT_EQ(DataOf(odd), data);

  std::string otherFormat = B({1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0});
  Wave::TWave later = WaveFromBytes(Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", data) +
                                         Chunk("fmt ", otherFormat) + Chunk("data", "xyz")));
  EXPECT_EQ(FormatOf(later), otherFormat);
  EXPECT_EQ(DataOf(later), "xyz");

  // The walk ends at an identifier of 0, or where the bytes run out.
  Wave::TWave stop = WaveFromBytes(Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", data) +
                                        std::string(8, '\0') + Chunk("data", "ignored")));
  EXPECT_EQ(DataOf(stop), data);
  Wave::TWave ragged = WaveFromBytes(Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", data) + "ju"));
  EXPECT_EQ(DataOf(ragged), data);
  Wave::TWave noData = WaveFromBytes(Riff(Chunk("fmt ", PcmFormat())));
  EXPECT_EQ(noData.Size(), 0);
  EXPECT_EQ(FormatOf(noData), PcmFormat());
}

TEST(Wave, BrokenImagesAreRefused) {
  EXPECT_EQ(MessageOf(Riff(Chunk("fmt ", PcmFormat()), "AVI ")), "Wave is invalid");
  EXPECT_EQ(MessageOf("RIFX" + U32(4) + "WAVE"), "Wave is invalid");
  EXPECT_EQ(MessageOf("RIFF"), "Wave is invalid");
  std::string cutFormat = "RIFF" + U32(30) + "WAVE" + "fmt " + U32(18) + PcmFormat().substr(0, 7);
  EXPECT_EQ(MessageOf(cutFormat), "Stream read error");
  std::string hugeData = Riff(Chunk("fmt ", PcmFormat())) + "data" + U32(0xFFFFFFF0) + "ab";
  EXPECT_EQ(MessageOf(hugeData), "Stream read error");
  std::string hugeFormat = Riff("") + "fmt " + U32(0x7FFFFFFF) + "ab";
  EXPECT_EQ(MessageOf(hugeFormat), "Stream read error");
}

TEST(Wave, FailedLoadKeepsTheWaveAndEmptyStreamEmptiesIt) {
  Wave::TWave wave = PcmWave({7, 8});
  std::string before = wave.Image();
  std::istringstream bad(Riff("", "AVI "));
  EXPECT_THROW(wave.LoadFromStream(bad), EWaveStreamError);
  EXPECT_EQ(wave.Image(), before);

  std::istringstream atEnd("RIFF");
  atEnd.seekg(4);
  wave.LoadFromStream(atEnd);
  EXPECT_EQ(wave.Size(), 0);
  EXPECT_EQ(wave.FormatSize(), 0);

  TempDir dir;
  try {
    wave.LoadFromFile(dir / "missing.wav");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + DisplayPath(dir / "missing.wav"));
  }
}

TEST(Wave, SavedFileIsReadByPythonsWaveModule) {
  TempDir dir;
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(22050, 16, 2));
  wave.SetSize(8);
  for (int i = 0; i < 8; ++i) wave.Data()[i] = static_cast<uint8_t>(0x10 + i);
  wave.SaveToFile(dir / "py.wav");
  std::string command = "python3 -c \"import wave; w = wave.open('" + (dir / "py.wav").string() +
                        "', 'rb'); print(w.getnchannels(), w.getsampwidth(), w.getframerate(), "
                        "w.getnframes(), w.readframes(10).hex())\"";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[256] = {};
  std::string output = fgets(line, sizeof line, pipe) ? line : "";
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(output, "2 2 22050 2 1011121314151617\n");
}
