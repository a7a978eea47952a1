// Decoding into a WAV, driven by a reader that declares what a test says:
// impossible formats and lengths are refused before any sample is read.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Exception.h"
#include "kit/DecodeToWav.h"
#include "kit/DecodeWatch.h"
#include "kit/SoundDecoder.h"
#include "kit/Wave.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class ScriptedReader : public SoundReader {
 public:
  ScriptedReader(SoundInfo info, std::int64_t frames) : info_(info), left_(frames) {}
  const SoundInfo& Info() const override { return info_; }
  std::int64_t Read(float* out, std::int64_t frames) override {
    ++reads;
    if (faultAt >= 0 && reads >= faultAt) return -1;
    const std::int64_t n = std::min(frames, left_);
    std::fill(out, out + n * info_.channels, 0.25f);
    left_ -= n;
    return n;
  }
  int reads = 0;
  int faultAt = -1;

 private:
  SoundInfo info_;
  std::int64_t left_;
};

SoundInfo Info(std::int64_t frames, int channels = 2, std::int64_t rate = 44100, int bits = 16) {
  return SoundInfo{frames, rate, channels, bits};
}

class DecodeToWavTest : public ::testing::Test {
 protected:
  std::string MessageOf(ScriptedReader& reader) {
    try {
      DecodeToWav(reader, source, out, watch);
    } catch (const Exception& error) {
      EXPECT_FALSE(fs::exists(out));
      EXPECT_FALSE(fs::exists(out.string() + ".part"));
      return error.Message();
    }
    return "";
  }
  TempDir dir;
  fs::path source = dir / "input.flac";
  fs::path out = dir / "decoded.wav";
  DecodeWatch watch;
};

TEST_F(DecodeToWavTest, ImpossibleFormatsAndLengthsAreRefusedBeforeAnyRead) {
  const std::string invalid = "Wave is invalid: " + source.string();
  const std::string tooLong = "Sound too long for a WAV file: " + source.string();
  struct Case {
    SoundInfo info;
    std::string message;
  };
  const Case cases[] = {
      {Info(std::int64_t{1} << 40), tooLong},
      {Info(std::int64_t{1} << 31, 1), tooLong},  // past what a kit wave holds
      {Info(100, 5000), invalid},
      {Info(100, 0), invalid},
      {Info(100, 2, 0), invalid},
      {Info(100, 2, std::int64_t{1} << 40), invalid},
      {Info(-1), invalid},
  };
  for (const Case& c : cases) {
    ScriptedReader reader(c.info, 100);
    EXPECT_EQ(MessageOf(reader), c.message) << c.info.frames << " " << c.info.channels;
    EXPECT_EQ(reader.reads, 0);
  }
}

TEST_F(DecodeToWavTest, AFileThatEndsEarlyOrBreaksIsInvalid) {
  ScriptedReader short_(Info(1000), 500);
  EXPECT_EQ(MessageOf(short_), "Wave is invalid: " + source.string());
  ScriptedReader broken(Info(100000), 100000);
  broken.faultAt = 2;
  EXPECT_EQ(MessageOf(broken), "Wave is invalid: " + source.string());
}

TEST_F(DecodeToWavTest, ManyChannelsAndMoreFramesThanDeclaredStillDecode) {
  ScriptedReader reader(Info(100, 1024, 8000, 24), 70000);
  const DecodedWav decoded = DecodeToWav(reader, source, out, watch);
  EXPECT_EQ(decoded.frames, 70000);
  Wave::TWave wave;
  wave.LoadFromFile(out);
  EXPECT_EQ(wave.FormatBytes(), Wave::MakePcmFormat(8000, 16, 2));
  EXPECT_EQ(wave.Size(), 70000 * 4);
  // 32 frames a read: the block stays small whatever the channel count.
  EXPECT_GT(reader.reads, 2000);
}

TEST_F(DecodeToWavTest, AnUnwritableTargetIsACreateError) {
  ScriptedReader reader(Info(10), 10);
  out = dir / "no such folder" / "decoded.wav";
  EXPECT_EQ(MessageOf(reader), "Cannot create file " + out.string());
}

}  // namespace
