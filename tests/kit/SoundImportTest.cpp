// The rule for a sound file the user names: 8- and 16-bit PCM WAV through
// unchanged, every other format decoded to a 16-bit PCM WAV.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/DecodeWatch.h"
#include "kit/SoundImport.h"
#include "kit/Wave.h"
#include "support/SoundFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace sound_files;

namespace {

constexpr int kFrames = 4410;

std::vector<int16_t> Samples16(const Wave::TWave& wave) {
  std::vector<int16_t> s(static_cast<size_t>(wave.Size()) / 2);
  std::memcpy(s.data(), wave.Data(), s.size() * 2);
  return s;
}

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 4; i-- > 0;) v = v << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
  return v;
}

Wave::TWave Load(const fs::path& path) {
  Wave::TWave wave;
  wave.LoadFromFile(path);
  return wave;
}

// Records what a decode tells its watch; cancels after cancelAfter calls.
struct RecordingWatch : DecodeWatch {
  int begun = 0, ended = 0, continues = 0, shorter = 0;
  int cancelAfter = -1;
  std::int64_t total = -1, lastDone = 0, clipped = 0;
  void Begin(const fs::path&, std::int64_t frames) override {
    ++begun;
    total = frames;
    lastDone = 0;
  }
  bool Continue(std::int64_t done) override {
    EXPECT_GT(done, lastDone);
    lastDone = done;
    return ++continues != cancelAfter;
  }
  void End() override { ++ended; }
  void Clipped(const fs::path&, std::int64_t samples) override { clipped += samples; }
  void ShorterThanHeader(const fs::path&) override { ++shorter; }
};

class SoundImportTest : public ::testing::Test {
 protected:
  fs::path Decoded() const { return DecodedWorkFile(dir.path() / "temp", "sample", 3); }
  SoundFile Import(const fs::path& path) { return ImportSoundFile(path.string(), Decoded()); }
  // Decodes a file and returns the WAV it gave, checking its layout.
  Wave::TWave Decode(const fs::path& path, int rate = 44100, int channels = 2) {
    const SoundFile sound = Import(path);
    EXPECT_EQ(sound.chosen, path.string());
    EXPECT_EQ(sound.readable, Decoded().string());
    Wave::TWave wave = Load(Decoded());
    EXPECT_EQ(wave.FormatBytes(), Wave::MakePcmFormat(rate, 16, channels));
    return wave;
  }

  TempDir dir;
  SndFileDecoding decoding;
  RecordingWatch watch;
  DecodeWatchScope watching{watch};
  std::vector<int16_t> tone = Tone16(kFrames, 44100);
};

TEST_F(SoundImportTest, EightAndSixteenBitPcmWavGoThroughUnchanged) {
  for (int format : {kWav16, kWav8}) {
    const fs::path path = dir / "pcm.wav";
    WriteSound(path, format, 22050, 2, Widen(tone));
    const std::string before = ReadFileBytes(path);
    EXPECT_TRUE(RiffReaderTakes(path));
    const SoundFile sound = Import(path);
    EXPECT_EQ(sound.chosen, path.string());
    EXPECT_EQ(sound.readable, path.string());
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(fs::exists(Decoded()));
  }
  EXPECT_EQ(watch.begun, 0);
}

TEST_F(SoundImportTest, SixteenBitFlacAndAiffDecodeToExactlyTheirSamples) {
  for (int format : {kFlac16, kAiff16}) {
    const fs::path path = dir / (format == kFlac16 ? "tone.flac" : "tone.aiff");
    WriteSound(path, format, 44100, 2, Widen(tone));
    EXPECT_FALSE(RiffReaderTakes(path));
    const Wave::TWave wave = Decode(path);
    EXPECT_EQ(Samples16(wave), tone) << path;
    // The program's own WAV layout without the kit's trailing byte: a
    // canonical file whose RIFF size counts every byte after it.
    Wave::TWave same;
    same.SetFormat(Wave::MakePcmFormat(44100, 16, 2));
    same.SetSize(wave.Size());
    std::memcpy(same.Data(), tone.data(), tone.size() * 2);
    const std::string image = same.Image();
    const std::string bytes = ReadFileBytes(Decoded());
    EXPECT_EQ(bytes, image.substr(0, image.size() - 1));
    EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  }
  EXPECT_EQ(watch.begun, 2);
  EXPECT_EQ(watch.ended, 2);
  EXPECT_EQ(watch.total, kFrames);
  EXPECT_EQ(watch.lastDone, kFrames);
  EXPECT_EQ(watch.clipped, 0);
}

// TPDF dither of one step each way, then rounding: a sample lies within 1.5
// steps of its exact value, the error averages out, and its spread is that
// of the dither (rms 0.5 step), not of plain rounding (0.29).
void ExpectDitheredFrom(const std::vector<int16_t>& got, const std::vector<double>& exact) {
  ASSERT_EQ(got.size(), exact.size());
  double sum = 0, squares = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    const double error = got[i] - exact[i];
    ASSERT_LT(std::abs(error), 1.5) << i;
    sum += error;
    squares += error * error;
  }
  EXPECT_LT(std::abs(sum / got.size()), 0.05);
  EXPECT_NEAR(std::sqrt(squares / got.size()), 0.5, 0.05);
}

TEST_F(SoundImportTest, TwentyFourBitWavAndFlacAreDitheredToSixteen) {
  std::mt19937 random(7);
  std::vector<int32_t> wide;
  std::vector<double> exact;
  for (int16_t v : tone) {
    const uint32_t below = (random() & 0xFF) << 8;  // the 24-bit file's low byte
    wide.push_back(static_cast<int32_t>(static_cast<uint32_t>(v) << 16 | below));
    exact.push_back(v + below / 65536.0);
  }
  for (int format : {kWav24, kFlac24, kWavEx24}) {
    const fs::path path = dir / (format == kFlac24 ? "deep.flac" : "deep.wav");
    WriteSound(path, format, 44100, 2, wide);
    ExpectDitheredFrom(Samples16(Decode(path)), exact);
    // The same file always decodes to the same bytes.
    const std::string first = ReadFileBytes(Decoded());
    Import(path);
    EXPECT_EQ(ReadFileBytes(Decoded()), first);
  }
}

// Dither changes only samples that 16 bits can't hold: a 16-bit sound kept
// in any deeper or float file comes back bit for bit, and silence stays
// silent, also after a sound that needed dither.
TEST_F(SoundImportTest, SamplesSixteenBitsHoldComeBackWithoutDither) {
  const int kWav32 = SF_FORMAT_WAV | SF_FORMAT_PCM_32;
  std::vector<float> floats;
  for (int16_t v : tone) floats.push_back(v / 32768.0f);
  for (int format : {kWav24, kFlac24, kWavEx24, kWav32, kWavFloat}) {
    const fs::path path = dir / (format == kFlac24 ? "exact.flac" : "exact.wav");
    if (format == kWavFloat)
      WriteFloatSound(path, 44100, 2, floats);
    else
      WriteSound(path, format, 44100, 2, Widen(tone));
    EXPECT_EQ(Samples16(Decode(path)), tone) << std::hex << format;

    if (format == kWavFloat)
      WriteFloatSound(path, 44100, 2, std::vector<float>(2000, 0.0f));
    else
      WriteSound(path, format, 44100, 2, std::vector<int32_t>(2000, 0));
    EXPECT_EQ(Samples16(Decode(path)), std::vector<int16_t>(2000, 0)) << std::hex << format;
  }
  std::vector<int32_t> fadeThenSilence = Widen(tone, 0x4321);
  fadeThenSilence.resize(fadeThenSilence.size() * 2, 0);
  const fs::path path = dir / "tail.wav";
  WriteSound(path, kWav24, 44100, 2, fadeThenSilence);
  const auto got = Samples16(Decode(path));
  ASSERT_EQ(got.size(), fadeThenSilence.size());
  EXPECT_NE(std::vector<int16_t>(got.begin(), got.begin() + tone.size()), tone);
  EXPECT_EQ(std::vector<int16_t>(got.begin() + tone.size(), got.end()),
            std::vector<int16_t>(tone.size(), 0));
}

TEST_F(SoundImportTest, FloatWavIsDitheredAndClippedAtFullScaleWithTheClipsCounted) {
  std::vector<float> samples;
  std::vector<double> exact;
  for (int16_t v : tone) {
    samples.push_back(v / 32768.0f + 0.3f / 32768.0f);
    exact.push_back(v + 0.3);
  }
  const fs::path path = dir / "float.wav";
  WriteFloatSound(path, 44100, 2, samples);
  ExpectDitheredFrom(Samples16(Decode(path)), exact);
  EXPECT_EQ(watch.clipped, 0);

  WriteFloatSound(path, 44100, 2, {1.5f, -2.0f, 1.0f, -1.0f, 0.25f, 3.0f});
  const auto clipped = Samples16(Decode(path));
  EXPECT_EQ(clipped[0], 32767);
  EXPECT_EQ(clipped[1], -32768);
  EXPECT_GE(clipped[2], 32766);  // full scale itself is no clip
  EXPECT_LE(clipped[3], -32767);
  EXPECT_NEAR(clipped[4], 8192, 1);
  EXPECT_EQ(clipped[5], 32767);
  EXPECT_EQ(watch.clipped, 3);
}

// Lossy codecs give the tone back within what they lose.
void ExpectCloseTo(const std::vector<int16_t>& got, const std::vector<int16_t>& want) {
  ASSERT_EQ(got.size(), want.size());
  double signal = 0, noise = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    signal += double(want[i]) * want[i];
    noise += (double(got[i]) - want[i]) * (double(got[i]) - want[i]);
  }
  EXPECT_GT(10 * std::log10(signal / noise), 20.0) << "signal to error in dB";
}

TEST_F(SoundImportTest, OggVorbisAndOpusDecodeCloseToTheirTone) {
  const fs::path ogg = dir / "tone.ogg";
  WriteSound(ogg, kOgg, 44100, 2, Widen(tone));
  ExpectCloseTo(Samples16(Decode(ogg)), tone);

  const auto tone48 = Tone16(4800, 48000);
  const fs::path opus = dir / "tone.opus";
  WriteSound(opus, kOpus, 48000, 2, Widen(tone48));
  const auto got = Samples16(Decode(opus, 48000));
  ASSERT_EQ(got.size(), tone48.size());
  double energy = 0, want = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    energy += double(got[i]) * got[i];
    want += double(tone48[i]) * tone48[i];
  }
  EXPECT_NEAR(energy / want, 1.0, 0.2);
}

TEST_F(SoundImportTest, KeepsItsRateAndAtMostTheFirstTwoChannels) {
  std::vector<int32_t> six;
  for (int f = 0; f < 100; ++f)
    for (int c = 0; c < 6; ++c) six.push_back(static_cast<int32_t>((f * 10 + c) << 16));
  const fs::path surround = dir / "six.flac";
  WriteSound(surround, kFlac16, 48000, 6, six);
  const auto two = Samples16(Decode(surround, 48000, 2));
  ASSERT_EQ(two.size(), 200u);
  EXPECT_EQ(two[0], 0);
  EXPECT_EQ(two[1], 1);
  EXPECT_EQ(two[198], 990);
  EXPECT_EQ(two[199], 991);

  const fs::path mono = dir / "mono.flac";
  WriteSound(mono, kFlac16, 22050, 1, {1 << 16, 2 << 16, -3 << 16});
  EXPECT_EQ(Samples16(Decode(mono, 22050, 1)), (std::vector<int16_t>{1, 2, -3}));
}

// A file libsndfile can't read, or one that breaks off, is refused with the
// bad-WAV message and its name; the previous decoded WAV stays as it was.
TEST_F(SoundImportTest, DamagedFilesAreRefusedAndChangeNothing) {
  const fs::path good = dir / "good.flac";
  WriteSound(good, kFlac16, 44100, 2, Widen(Tone16(44100, 44100)));
  Import(good);
  const std::string before = ReadFileBytes(Decoded());

  const std::string flac = ReadFileBytes(good);
  WriteFileAtomically(dir / "cut.flac", flac.substr(0, flac.size() / 3));
  WriteFileAtomically(dir / "notes.flac", "Remember: kick on one, snare on two.\n");
  const fs::path mp3 = dir / "tone.mp3";
  WriteSound(mp3, kMp3, 44100, 2, Widen(Tone16(44100, 44100)));
  std::string garbled = ReadFileBytes(mp3);
  std::mt19937 random(3);
  for (size_t i = garbled.size() / 4; i < garbled.size() * 3 / 4; ++i)
    garbled[i] = static_cast<char>(random());
  WriteFileAtomically(dir / "garbled.mp3", garbled);
  WriteFileAtomically(dir / "text.wav", "RIFF....not a wave at all");

  for (const char* name : {"cut.flac", "notes.flac", "garbled.mp3", "text.wav"}) {
    const fs::path bad = dir / name;
    try {
      Import(bad);
      ADD_FAILURE() << name << " was taken";
    } catch (const EWaveStreamError& error) {
      EXPECT_EQ(error.Message(), "Wave is invalid: " + bad.string());
    }
    EXPECT_EQ(ReadFileBytes(Decoded()), before) << name;
    EXPECT_FALSE(fs::exists(Decoded().string() + ".part")) << name;
  }
  EXPECT_EQ(watch.begun, watch.ended);
}

// A deep WAV or AIFF cut short gives the sound that is there, and the watch
// hears once that the file is shorter than its header says.
TEST_F(SoundImportTest, ACutDeepFileGivesWhatIsThereAndSaysSo) {
  for (int format : {kWav24, kWavEx24, SF_FORMAT_AIFF | SF_FORMAT_PCM_24}) {
    const fs::path whole =
        dir / (format == kWav24 || format == kWavEx24 ? "whole.wav" : "whole.aiff");
    WriteSound(whole, format, 44100, 2, Widen(tone));
    watch.shorter = 0;
    Decode(whole);
    EXPECT_EQ(watch.shorter, 0) << std::hex << format;

    const std::string bytes = ReadFileBytes(whole);
    const fs::path cut = dir / ("cut" + whole.extension().string());
    WriteFileAtomically(cut, bytes.substr(0, bytes.size() / 3));
    const auto got = Samples16(Decode(cut));
    EXPECT_EQ(watch.shorter, 1) << std::hex << format;
    // A third of the file, less its header, in whole frames of six bytes.
    EXPECT_NEAR(static_cast<double>(got.size()) / 2, bytes.size() / 3 / 6.0, 20)
        << std::hex << format;
    EXPECT_EQ(got, std::vector<int16_t>(tone.begin(), tone.begin() + got.size()));
  }
}

// An MP3 without a Xing/Info header (as `lame -t` writes it) gives its whole
// sound, CBR or VBR, whatever length the decoder guessed at the start: the
// encoder's input, delayed and padded by less than two MP3 frames (no header
// tells by how much).
TEST_F(SoundImportTest, AnMp3WithoutLengthHeaderDecodesToItsRealEnd) {
  constexpr int kMp3Frame = 1152;
  const auto input = Tone16(3 * 44100, 44100);
  WriteSound(dir / "input.wav", kWav16, 44100, 2, Widen(input));
  for (const std::string options : {"-b 128", "-b 320", "-V 2", "-V 0"}) {
    const fs::path mp3 = dir / "headerless.MP3";
    const std::string command = "lame --quiet -t " + options + " '" + (dir / "input.wav").string() +
                                "' '" + mp3.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto got = Samples16(Decode(mp3));
    const auto frames = static_cast<std::int64_t>(got.size() / 2);
    EXPECT_GE(frames, static_cast<std::int64_t>(input.size() / 2)) << options;
    EXPECT_LT(frames, static_cast<std::int64_t>(input.size() / 2) + 2 * kMp3Frame) << options;
    // Sound up to the end: the last tenth second is not silent.
    double energy = 0;
    for (std::size_t i = got.size() - 2 * 4410 - 2 * 2 * kMp3Frame;
         i < got.size() - 2 * 2 * kMp3Frame; ++i)
      energy += double(got[i]) * got[i];
    EXPECT_GT(energy / 8820, 1e6) << options;
  }
}

TEST_F(SoundImportTest, CancellingStopsTheDecodeAndKeepsThePreviousWav) {
  const fs::path path = dir / "long.flac";
  WriteSound(path, kFlac16, 44100, 2, Widen(Tone16(44100 * 3, 44100)));
  Import(path);
  const std::string before = ReadFileBytes(Decoded());
  EXPECT_GT(watch.continues, 3);  // progress comes in steps

  watch.continues = 0;
  watch.lastDone = 0;
  watch.cancelAfter = 2;
  WriteSound(path, kFlac16, 44100, 2, Widen(Tone16(44100 * 3, 22050)));
  EXPECT_THROW(Import(path), EAbort);
  EXPECT_EQ(watch.continues, 2);
  EXPECT_EQ(ReadFileBytes(Decoded()), before);
  EXPECT_FALSE(fs::exists(Decoded().string() + ".part"));
  EXPECT_EQ(watch.begun, watch.ended);
}

TEST_F(SoundImportTest, MissingFilesAndNoDecoderLeaveTheFileToTheRiffReader) {
  EXPECT_EQ(Import(dir / "gone.flac").readable, (dir / "gone.flac").string());
  const fs::path flac = dir / "tone.flac";
  WriteSound(flac, kFlac16, 44100, 2, Widen(tone));
  SetSoundDecoder(nullptr);
  EXPECT_EQ(Import(flac).readable, flac.string());
  EXPECT_FALSE(fs::exists(Decoded()));
}

TEST(SoundImportFilter, ListsEverySupportedExtensionFirst) {
  EXPECT_EQ(std::string(kSoundFileFilter),
            "Sound files (*.wav *.aif *.aiff *.flac *.ogg *.oga *.opus *.mp3)"
            "|*.wav;*.aif;*.aiff;*.flac;*.ogg;*.oga;*.opus;*.mp3"
            "|Wave (*.wav)|*.wav|All files (*.*)|*.*");
}

}  // namespace
