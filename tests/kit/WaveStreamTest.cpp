#include <gtest/gtest.h>

#include <sstream>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/KitTestSupport.h"
#include "kit/WaveStream.h"
#include "support/TempDir.h"

TEST(WaveStream, ReadsSampleBytesAtDataPositions) {
  TempDir dir;
  std::string data = "0123456789";
  WriteFile(dir / "s.wav",
            Riff(Chunk("LIST", "x") + Chunk("fmt ", PcmFormat()) + Chunk("data", data)));
  Wave::TWaveFileStream stream(dir / "s.wav");
  EXPECT_EQ(std::string(stream.Format().begin(), stream.Format().end()), PcmFormat());
  EXPECT_EQ(stream.Size(), 10);
  char buffer[8] = {};
  EXPECT_EQ(stream.ReadAt(3, buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(stream.ReadAt(8, buffer, 8), 2u);  // only to the end of the data
  EXPECT_EQ(std::string(buffer, 2), "89");
  EXPECT_EQ(stream.ReadAt(10, buffer, 8), 0u);
  EXPECT_EQ(stream.ReadAt(0, buffer, 1), 1u);  // back again after the end
  EXPECT_EQ(buffer[0], '0');
}

TEST(WaveStream, CutShortDataPlaysWhatIsThere) {
  std::istringstream in(Riff(Chunk("fmt ", PcmFormat())) + "data" + U32(1000) + "abcd");
  Wave::TWaveStream stream(in);
  stream.Open();
  EXPECT_EQ(stream.Size(), 4);
}

TEST(WaveStream, OpenStates) {
  std::istringstream in(Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", "ab")));
  Wave::TWaveStream stream(in);
  char c;
  try {
    stream.ReadAt(0, &c, 1);
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_EQ(e.Message(), "Stream not opend");
  }
  stream.Open();
  try {
    stream.Open();
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_EQ(e.Message(), "Stream has already been opened");
  }
}

TEST(WaveStream, FileErrors) {
  TempDir dir;
  try {
    Wave::TWaveFileStream stream(dir / "none.wav");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + DisplayPath(dir / "none.wav"));
  }
  WriteFile(dir / "text.wav", "just some text here");
  try {
    Wave::TWaveFileStream stream(dir / "text.wav");
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_EQ(e.Message(), "Wave is invalid");
  }
}
