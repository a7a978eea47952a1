// Sound files of every format in the sample editor's slots: decoded, they
// play, pitch and pan like the 16-bit WAV they hold; what can't be decoded
// changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "SlotTestSupport.h"
#include "common/Exception.h"
#include "common/Files.h"
#include "common/ManualUiThread.h"
#include "kit/AudioStream.h"
#include "kit/DXSounds.h"
#include "kit/DecodeWatch.h"
#include "render/SampleEditor.h"
#include "render/SemitoneSteps.h"
#include "support/SoundFiles.h"

namespace fs = std::filesystem;
using namespace sound_files;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

class SlotFormatsTest : public testing::Test {
 protected:
  SlotFormatsTest() {
    sound.SetOptions(soGlobalFocus | soStickyFocus | soExclusive);
    sound.Initialize();
    editor = std::make_unique<SampleEditor>(sound, ui, home.path(),
                                            [](const std::function<void()>& action) { action(); });
    editor->OnSlotButtonCaption = [this](int slot, const std::string& caption) {
      buttonCaptions.emplace_back(slot, caption);
    };
    editor->FormCreate();
    // Loud from its first frame, so every format's sound starts there.
    tone[0] = tone[1] = 4000;
    WriteSound(home / "tone.wav", kWav16, kRate, 2, Widen(tone));
  }
  ~SlotFormatsTest() override { editor.reset(); }
  SampleSlots& slots() { return editor->Slots(); }

  std::string Open(int slot, const std::string& name) {
    editor->SetCurrentSlot(slot);
    editor->OpenFile((home / name).string());
    return (home / name).string();
  }

  // Everything slot n sounds from its start to its end, from the first
  // frame that isn't silent.
  std::vector<float> Play(int n) {
    capture.tape->Clear();
    slots().Restart(n);
    std::vector<float> out;
    for (int step = 0; step < 40 && slots().Playing(n); ++step) {
      capture.tape->Clear();
      capture.tape->RenderFrames(4800);
      const auto samples = capture.tape->Samples();
      out.insert(out.end(), samples.begin(), samples.end());
      const int64_t before = slots().Stream(n).Position();
      EXPECT_TRUE(ui.PumpUntil(
          [&] { return slots().Stream(n).Position() != before || !slots().Playing(n); }, 5s));
    }
    const auto first = std::find_if(out.begin(), out.end(), [](float s) { return s != 0; });
    return {first - (first - out.begin()) % 2, out.end()};
  }

  CaptureSound capture;
  SlotHome home;
  SoundWindow window;
  TDXSound sound{&window};
  ManualUiThread ui;
  SndFileDecoding decoding;
  std::vector<std::pair<int, std::string>> buttonCaptions;
  std::unique_ptr<SampleEditor> editor;
  std::vector<int16_t> tone = Tone16(kRate / 2, kRate);
};

// The largest difference in 16-bit steps over what both sounded.
double Difference(const std::vector<float>& a, const std::vector<float>& b) {
  double most = 0;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    most = std::max(most, std::abs(double(a[i]) - b[i]) * 32768);
  return most;
}

TEST_F(SlotFormatsTest, AFlacPlaysInASlotExactlyAsItsWav) {
  WriteSound(home / "tone.flac", kFlac16, kRate, 2, Widen(tone));
  Open(1, "tone.wav");
  const std::string flac = Open(2, "tone.flac");
  EXPECT_EQ(slots().FileName(2), flac);
  EXPECT_EQ(slots().ReadableFile(2), (home / "temp" / "decoded-sample2.wav").string());
  EXPECT_EQ(editor->Controls().caption, "Sample 2 : " + flac);
  // Cut as every name is, by four characters.
  EXPECT_EQ(buttonCaptions.back(), std::make_pair(2, std::string("tone.")));
  // The work copy is the decoded WAV, holding the tone.
  EXPECT_EQ(ReadFileBytes(home / "temp" / "sample1.wav"), ReadFileBytes(slots().ReadableFile(2)));
  Wave::TWave decoded;
  decoded.LoadFromFile(home / "temp" / "sample1.wav");
  ASSERT_EQ(decoded.Size(), static_cast<int32_t>(tone.size() * 2));
  EXPECT_EQ(std::memcmp(decoded.Data(), tone.data(), tone.size() * 2), 0);
  EXPECT_EQ(slots().BaseFrequency(2), kRate);

  const auto wav = Play(1);
  ASSERT_GT(wav.size(), tone.size());
  EXPECT_EQ(Play(2), wav);

  // Pitch and pan work on it as on any slot.
  editor->SemitoneStep(kSemitoneCents);
  EXPECT_EQ(slots().Frequency(2), 46722u);
  slots().Stop(2);
  editor->PanTrackBarChange(-40);
  EXPECT_EQ(slots().Pan(2), -4000);
  // 40 dB down on the right.
  const auto panned = Play(2);
  ASSERT_FALSE(panned.empty());
  float left = 0, right = 0;
  for (size_t i = 0; i + 1 < panned.size(); i += 2) {
    left = std::max(left, std::abs(panned[i]));
    right = std::max(right, std::abs(panned[i + 1]));
  }
  EXPECT_NEAR(right / left, 0.01 * 9000 / 11000, 0.001);
}

TEST_F(SlotFormatsTest, DeepFloatAndOggFilesPlayCloseToTheirWav) {
  std::vector<float> floats;
  for (int16_t v : tone) floats.push_back(v / 32768.0f);
  WriteSound(home / "deep.wav", kWav24, kRate, 2, Widen(tone, 0x8000));
  WriteFloatSound(home / "float.wav", kRate, 2, floats);
  WriteSound(home / "tone.ogg", kOgg, kRate, 2, Widen(tone));
  Open(1, "tone.wav");
  const auto wav = Play(1);
  Open(3, "deep.wav");
  const auto deep = Play(3);
  EXPECT_EQ(deep.size(), wav.size());
  EXPECT_LE(Difference(deep, wav), 1.01);
  Open(4, "float.wav");
  const auto floating = Play(4);
  EXPECT_EQ(floating.size(), wav.size());
  EXPECT_LE(Difference(floating, wav), 1.01);
  Open(5, "tone.ogg");
  EXPECT_EQ(slots().FileName(5), (home / "tone.ogg").string());
  const auto ogg = Play(5);
  EXPECT_NEAR(double(ogg.size()), double(wav.size()), 8.0);
  EXPECT_LT(Difference(ogg, wav), 3000);
}

TEST_F(SlotFormatsTest, AFileThatCantBeDecodedChangesNothing) {
  WriteSound(home / "tone.flac", kFlac16, kRate, 2, Widen(tone));
  const std::string good = Open(2, "tone.flac");
  std::ofstream(home / "notes.flac") << "kick on one, snare on two\n";
  const std::string workCopy = ReadFileBytes(home / "temp" / "sample1.wav");
  const auto captions = buttonCaptions;
  try {
    Open(2, "notes.flac");
    FAIL() << "a text file was taken";
  } catch (const EWaveStreamError& error) {
    EXPECT_EQ(error.Message(), "Wave is invalid: " + (home / "notes.flac").string());
  }
  EXPECT_EQ(slots().FileName(2), good);
  EXPECT_EQ(editor->Controls().caption, "Sample 2 : " + good);
  EXPECT_TRUE(editor->Controls().playEnabled);
  EXPECT_TRUE(editor->Controls().barsEnabled);
  EXPECT_EQ(buttonCaptions, captions);
  EXPECT_EQ(ReadFileBytes(home / "temp" / "sample1.wav"), workCopy);
  EXPECT_FALSE(Play(2).empty());
}

TEST_F(SlotFormatsTest, ACancelledDecodeChangesNothing) {
  struct Cancel : DecodeWatch {
    bool Continue(std::int64_t) override { return false; }
  } cancel;
  WriteSound(home / "tone.flac", kFlac16, kRate, 2, Widen(tone));
  const std::string good = Open(2, "tone.flac");
  WriteSound(home / "other.aiff", kAiff16, 22050, 2, Widen(tone));
  const DecodeWatchScope watching(cancel);
  EXPECT_THROW(Open(2, "other.aiff"), EAbort);
  EXPECT_EQ(slots().FileName(2), good);
  EXPECT_EQ(slots().Frequency(2), static_cast<uint32_t>(kRate));
  EXPECT_EQ(editor->Controls().caption, "Sample 2 : " + good);
  EXPECT_TRUE(editor->Controls().playEnabled);
}

TEST_F(SlotFormatsTest, LoadingTheSameUnchangedFileAgainDoesNotDecodeItAgain) {
  struct Count : DecodeWatch {
    int decodes = 0;
    void Begin(const fs::path&, std::int64_t) override { ++decodes; }
  } count;
  const DecodeWatchScope watching(count);
  const std::string flac = (home / "tone.flac").string();
  WriteSound(flac, kFlac16, kRate, 2, Widen(tone));
  slots().LoadFile(6, flac, 30000);
  slots().LoadFile(6, flac, 20000);  // as a pattern loaded again does
  EXPECT_EQ(count.decodes, 1);
  EXPECT_EQ(slots().Frequency(6), 20000u);
  EXPECT_FALSE(Play(6).empty());
  slots().LoadFile(7, flac, 30000);  // another slot decodes its own
  EXPECT_EQ(count.decodes, 2);

  // A changed file is decoded afresh.
  WriteSound(flac, kFlac16, kRate, 1, Widen(tone));
  slots().LoadFile(6, flac, 30000);
  EXPECT_EQ(count.decodes, 3);
  EXPECT_EQ(slots().Stream(6).Format(), Wave::MakePcmFormat(kRate, 16, 1));
}

}  // namespace
