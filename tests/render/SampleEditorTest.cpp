#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "SlotTestSupport.h"
#include "support/ErrorText.h"
#include "common/Exception.h"
#include "common/ManualUiThread.h"
#include "kit/AudioStream.h"
#include "kit/DXSounds.h"
#include "kit/Wave.h"
#include "render/SampleEditor.h"
#include "render/SemitoneSteps.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class SampleEditorTest : public testing::Test {
 protected:
  SampleEditorTest() {
    sound.SetOptions(soGlobalFocus | soStickyFocus | soExclusive);
    sound.Initialize();
    editor = std::make_unique<SampleEditor>(sound, ui, home.path(),
                                            [this](const std::function<void()>& action) {
                                              try {
                                                action();
                                              } catch (const std::exception& error) {
                                                errors.push_back(error.what());
                                              }
                                            });
    editor->OnSlotButtonCaption = [this](int slot, const std::string& caption) {
      buttonCaptions.emplace_back(slot, caption);
    };
  }
  ~SampleEditorTest() override { editor.reset(); }

  // Opens a fresh WAV of the given rate into the current slot.
  std::string OpenNew(const std::string& name, uint32_t rate, int frames = 4410) {
    const auto path = home / name;
    WriteWav(path, rate, frames);
    editor->OpenFile(path.string());
    return path.string();
  }
  SampleSlots& slots() { return editor->Slots(); }

  CaptureSound capture;
  SlotHome home;
  SoundWindow window;
  TDXSound sound{&window};
  ManualUiThread ui;
  std::vector<std::string> errors;
  std::vector<std::pair<int, std::string>> buttonCaptions;
  std::unique_ptr<SampleEditor> editor;
};

TEST_F(SampleEditorTest, CreationGivesEverySlotTheBlankFile) {
  editor->FormCreate();
  for (int n = 1; n <= SampleSlots::kCount; ++n) {
    EXPECT_EQ(slots().FileName(n), "Blank.wav");
    EXPECT_TRUE(slots().Empty(n));
    EXPECT_EQ(slots().SemitoneOffset(n), 0);
    EXPECT_EQ(slots().BaseFrequency(n), 0);
  }
  EXPECT_EQ(slots().Frequency(7), 22050u);
  EXPECT_EQ(sound.Primary()->Format(), Wave::MakePcmFormat(44100, 16, 2));
  EXPECT_EQ(editor->CurrentSlot(), 0);
  EXPECT_FALSE(editor->Controls().playEnabled);
  EXPECT_FALSE(editor->Controls().barsEnabled);
  EXPECT_THROW(slots().Stream(0), Exception);
  EXPECT_THROW(slots().Stream(33), Exception);
}

TEST_F(SampleEditorTest, MissingBlankFileIsReportedAndEverySlotStillExists) {
  std::filesystem::remove(home / "Blank.wav");
  EXPECT_THROW(editor->FormCreate(), EFOpenError);
  for (int n = 1; n <= SampleSlots::kCount; ++n) EXPECT_EQ(slots().FileName(n), "");
  try {
    slots().Restart(32);
    FAIL() << "a slot without a wave played";
  } catch (const EAudioStreamError& error) {
    EXPECT_STREQ(error.what(), "WaveStream not set");
  }
}

TEST_F(SampleEditorTest, OpenFollowsItsTenSteps) {
  editor->FormCreate();
  editor->SetCurrentSlot(3);
  slots().SetPan(3, 1200);
  const std::string path = OpenNew("Snare Roll.wav", 22050);

  EXPECT_EQ(editor->Controls().caption, "Sample 3 : " + path);
  ASSERT_EQ(buttonCaptions.size(), 1u);
  EXPECT_EQ(buttonCaptions[0], std::make_pair(3, std::string("Snare Ro")));
  // The work copy is always the first one, whichever slot is current.
  EXPECT_EQ(ReadAll(home / "temp" / "sample1.wav"), ReadAll(path));
  EXPECT_FALSE(std::filesystem::exists(home / "temp" / "sample3.wav"));
  EXPECT_EQ(slots().FileName(3), path);
  EXPECT_FALSE(slots().Empty(3));
  EXPECT_TRUE(editor->Controls().playEnabled);
  EXPECT_TRUE(editor->Controls().barsEnabled);
  EXPECT_EQ(editor->Controls().panBar, 0);
  EXPECT_EQ(slots().Pan(3), 0);  // a freshly opened sound is centred
  EXPECT_EQ(editor->Controls().frequencyBar, 22050);
  EXPECT_EQ(slots().BaseFrequency(3), 22050);
  EXPECT_EQ(slots().FileName(1), "Blank.wav");
}

TEST_F(SampleEditorTest, AFileFasterThanTheBarShowsTheBarAtItsEnd) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  OpenNew("fast.wav", 48000);
  EXPECT_EQ(editor->Controls().frequencyBar, 44100);
  EXPECT_EQ(slots().Frequency(1), 48000u);
  EXPECT_EQ(slots().BaseFrequency(1), 48000);
}

TEST_F(SampleEditorTest, AFileThatIsNoWaveLeavesTheSlotWithoutOne) {
  editor->FormCreate();
  editor->SetCurrentSlot(2);
  OpenNew("good.wav", 22050);
  std::ofstream(home / "broken.wav", std::ios::binary) << "RIFF....not a wave at all";
  const std::string broken = (home / "broken.wav").string();
  EXPECT_THROW(editor->OpenFile(broken), EWaveStreamError);

  EXPECT_EQ(slots().FileName(2), "");
  EXPECT_FALSE(editor->Controls().playEnabled);
  EXPECT_FALSE(editor->Controls().barsEnabled);
  // What was done before the failure stays.
  EXPECT_EQ(editor->Controls().caption, "Sample 2 : " + broken);
  EXPECT_EQ(buttonCaptions.back(), std::make_pair(2, std::string("broken")));
  EXPECT_EQ(ReadAll(home / "temp" / "sample1.wav"), ReadAll(broken));
  EXPECT_THROW(slots().Restart(2), EAudioStreamError);
}

TEST_F(SampleEditorTest, AMissingFileStopsBeforeTheWorkCopyIsTouched) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  const std::string good = OpenNew("good.wav", 22050);
  EXPECT_EQ(Message([&] { editor->OpenFile((home / "gone.wav").string()); }),
            "Cannot open file " + (home / "gone.wav").string());
  EXPECT_EQ(ReadAll(home / "temp" / "sample1.wav"), ReadAll(good));
  EXPECT_EQ(slots().FileName(1), good);  // the slot still has its old file
  EXPECT_FALSE(editor->Controls().playEnabled);
}

TEST_F(SampleEditorTest, AWorkCopyThatCantBeWrittenNamesItsFile) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  WriteWav(home / "good.wav", 22050, 100);
  std::filesystem::remove_all(home / "temp");
  std::ofstream(home / "temp") << "a file where the folder should be";
  EXPECT_EQ(Message([&] { editor->OpenFile((home / "good.wav").string()); }),
            "Cannot create file " + (home / "temp" / "sample1.wav").string());
  EXPECT_EQ(slots().FileName(1), "Blank.wav");
}

TEST_F(SampleEditorTest, AMissingTempFolderIsMadeForTheWorkCopy) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  WriteWav(home / "good.wav", 22050, 100);
  std::filesystem::remove_all(home / "temp");
  editor->OpenFile((home / "good.wav").string());
  EXPECT_EQ(ReadAll(home / "temp" / "sample1.wav"), ReadAll(home / "good.wav"));
}

TEST_F(SampleEditorTest, SemitoneStepsComputeFromBaseAndOffset) {
  editor->FormCreate();
  editor->SetCurrentSlot(5);
  OpenNew("a.wav", 22050);
  EXPECT_TRUE(editor->SemitoneStep(kSemitoneCents));
  EXPECT_EQ(slots().Frequency(5), 23361u);
  EXPECT_TRUE(editor->SemitoneStep(kSemitoneCents));
  EXPECT_TRUE(editor->SemitoneStep(-kSemitoneCents));
  EXPECT_EQ(slots().SemitoneOffset(5), 100);
  EXPECT_EQ(slots().Frequency(5), 23361u);
  EXPECT_EQ(editor->Controls().frequencyBar, 23361);
  EXPECT_TRUE(slots().Playing(5));  // a preview, without the check
  EXPECT_FALSE(editor->TimerRunning());

  // The Pitch bar sets the frequency directly; the next step ignores it.
  editor->FrequencyTrackBarChange(30000);
  EXPECT_EQ(slots().Frequency(5), 30000u);
  EXPECT_EQ(slots().BaseFrequency(5), 22050);
  EXPECT_TRUE(editor->SemitoneStep(-kSemitoneCents));
  EXPECT_EQ(slots().Frequency(5), 22050u);
}

TEST_F(SampleEditorTest, StepsBeyondTheBarAndTheDeviceRange) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  OpenNew("a.wav", 44100);
  editor->SemitoneStep(kSemitoneCents);
  EXPECT_EQ(slots().Frequency(1), 46722u);
  EXPECT_EQ(editor->Controls().frequencyBar, 44100);
  for (int i = 0; i < 13; ++i) editor->SemitoneStep(-kSemitoneCents);
  EXPECT_EQ(slots().SemitoneOffset(1), -1200);
  EXPECT_EQ(slots().Frequency(1), 22050u);
  // Far beyond what the device plays: it keeps the last frequency it took.
  for (int i = 0; i < 120; ++i) editor->SemitoneStep(-kSemitoneCents);
  EXPECT_EQ(slots().SemitoneOffset(1), -13200);
  EXPECT_GE(slots().Frequency(1), 100u);
  EXPECT_EQ(editor->Controls().frequencyBar, 4410);
}

TEST_F(SampleEditorTest, ANewFileKeepsTheSemitoneOffset) {
  editor->FormCreate();
  editor->SetCurrentSlot(4);
  OpenNew("a.wav", 22050);
  for (int i = 0; i < 3; ++i) editor->SemitoneStep(-kSemitoneCents);
  EXPECT_EQ(slots().SemitoneOffset(4), -300);
  OpenNew("b.wav", 11025);
  EXPECT_EQ(slots().SemitoneOffset(4), -300);
  EXPECT_EQ(slots().Frequency(4), 11025u);  // the file plays at its own rate until the next step
  editor->SemitoneStep(kSemitoneCents);
  EXPECT_EQ(slots().Frequency(4), std::lround(11025 * std::exp2(-200 / 1200.0)));
}

TEST_F(SampleEditorTest, StepsOnAnEmptySlotDoNothing) {
  editor->FormCreate();
  editor->SetCurrentSlot(9);
  EXPECT_FALSE(editor->SemitoneStep(kSemitoneCents));
  EXPECT_EQ(slots().SemitoneOffset(9), 0);
  EXPECT_EQ(slots().Frequency(9), 22050u);
  EXPECT_FALSE(slots().Playing(9));
}

TEST_F(SampleEditorTest, BarsSetTheCurrentSlotsValues) {
  editor->FormCreate();
  editor->SetCurrentSlot(6);
  OpenNew("a.wav", 22050);
  editor->PanTrackBarChange(-40);
  editor->VolumeTrackBarChange(-40);
  editor->FrequencyTrackBarChange(11025);
  EXPECT_EQ(slots().Pan(6), -4000);
  EXPECT_EQ(slots().Volume(6), -4000);
  EXPECT_EQ(slots().Frequency(6), 11025u);
  EXPECT_EQ(slots().Pan(5), 0);
}

TEST_F(SampleEditorTest, LoadSlotControlsRoundsAndClamps) {
  editor->FormCreate();
  slots().SetPan(2, -4050);  // -40.5: ties go to the even -40
  slots().SetVolume(2, -1251);
  slots().SetFrequency(2, 48000);
  editor->LoadSlotControls(2);
  EXPECT_EQ(editor->Controls().panBar, -40);
  EXPECT_EQ(editor->Controls().volumeBar, -13);
  EXPECT_EQ(editor->Controls().frequencyBar, 44100);
  slots().SetPan(2, 9000);
  slots().SetVolume(2, -9000);
  slots().SetFrequency(2, 1000);
  editor->LoadSlotControls(2);
  EXPECT_EQ(editor->Controls().panBar, 40);
  EXPECT_EQ(editor->Controls().volumeBar, -40);
  EXPECT_EQ(editor->Controls().frequencyBar, 4410);
}

TEST_F(SampleEditorTest, OkStopsTheSlotAndCloseDoesNot) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  OpenNew("long.wav", 22050, 22050 * 4);
  editor->PlayButtonClick();
  EXPECT_TRUE(editor->TimerRunning());
  editor->FileCloseClick();
  EXPECT_TRUE(slots().Playing(1));
  EXPECT_FALSE(editor->TimerRunning());
  EXPECT_FALSE(editor->Controls().playEnabled);
  EXPECT_EQ(slots().FileName(1), (home / "long.wav").string());
  editor->Button1Click();
  EXPECT_FALSE(slots().Playing(1));
}

TEST_F(SampleEditorTest, ASoundThatEndsIsRewoundAndTheCheckStops) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  OpenNew("short.wav", 48000, 2400);  // 50 ms
  editor->PlayButtonClick();
  int changes = 0;
  editor->OnChanged = [&] { ++changes; };
  const bool stopped = ui.PumpUntil(
      [&] {
        capture.tape->RenderFrames(480);
        return !editor->TimerRunning();
      },
      std::chrono::seconds(10));
  ASSERT_TRUE(stopped);
  EXPECT_FALSE(slots().Playing(1));
  EXPECT_EQ(slots().Stream(1).Position(), 0);
  EXPECT_TRUE(editor->Controls().playEnabled);
  EXPECT_GE(changes, 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(SampleEditorTest, GlobalFocusFlipsTheOptionAndKeepsTheSlotsSettings) {
  editor->FormCreate();
  editor->SetCurrentSlot(1);
  OpenNew("a.wav", 22050);
  editor->PanTrackBarChange(12);
  editor->FrequencyTrackBarChange(30000);
  editor->GlobalFocusItemClick();
  EXPECT_FALSE(editor->Controls().globalFocusChecked);
  EXPECT_EQ(sound.Options(), TDXSoundOptions{soStickyFocus | soExclusive});
  EXPECT_EQ(slots().Pan(1), 1200);
  EXPECT_EQ(slots().Frequency(1), 30000u);
  editor->GlobalFocusItemClick();
  EXPECT_EQ(sound.Options(), TDXSoundOptions{soGlobalFocus | soStickyFocus | soExclusive});
}

TEST_F(SampleEditorTest, LoadersSetBaseAndFrequencyAndMarkTheEditor) {
  editor->FormCreate();
  WriteWav(home / "loop.wav", 22050, 100);
  slots().LoadFile(8, (home / "loop.wav").string(), 30000);
  EXPECT_EQ(slots().BaseFrequency(8), 30000);
  EXPECT_EQ(slots().Frequency(8), 30000u);
  editor->MarkHoldingSample();
  EXPECT_TRUE(editor->HoldsSample());
  EXPECT_TRUE(editor->Controls().barsEnabled);
  SlotPlayer& player = slots();  // as the players reach the slots
  player.RestartSlot(8);
  EXPECT_TRUE(slots().Playing(8));
  player.StopSlot(8);
  EXPECT_FALSE(slots().Playing(8));
}

TEST_F(SampleEditorTest, SlotsSurviveTheDeviceClosingAndOpening) {
  editor->FormCreate();
  editor->SetCurrentSlot(2);
  const std::string path = OpenNew("a.wav", 22050);
  editor->PanTrackBarChange(-20);
  editor->FrequencyTrackBarChange(33000);
  sound.Finalize();
  EXPECT_EQ(slots().FileName(2), path);
  EXPECT_EQ(slots().Pan(2), -2000);  // the slot's own, device or not
  slots().SetVolume(2, -700);
  sound.Initialize();
  EXPECT_EQ(slots().Stream(2).Volume(), -700);  // the new buffer follows the slot
  EXPECT_EQ(slots().FileName(2), path);
  EXPECT_EQ(slots().Pan(2), -2000);
  EXPECT_EQ(slots().Frequency(2), 33000u);
  EXPECT_EQ(slots().FileName(1), "Blank.wav");
}

}  // namespace

TEST(SampleSlotsWithoutDevice, KeepFilesAndSettingsAndOnlyListeningFails) {
  SetAudioOutputFactory(nullptr);
  SlotHome home;
  SoundWindow window;
  TDXSound sound(&window);
  sound.Loaded();  // no output: the device stays closed
  ManualUiThread ui;
  SampleSlots slots(sound, ui);
  slots.LoadBlanks();
  EXPECT_EQ(slots.FileName(1), "Blank.wav");
  EXPECT_TRUE(slots.Empty(1));
  try {
    slots.Restart(1);
    FAIL() << "played without a device";
  } catch (const EDirectSoundBufferError& error) {
    EXPECT_STREQ(error.what(), "IDirectSoundBuffer not made");
  }
  // Pitch, pan and volume are the slot's own: songs save, open and render.
  EXPECT_EQ(slots.Frequency(1), 22050u);  // Blank.wav's own rate
  slots.SetFrequency(1, 30000);
  slots.SetPan(1, -1200);
  slots.SetPan(1, 20000);  // beyond the device's range: refused
  EXPECT_EQ(slots.Frequency(1), 30000u);
  EXPECT_EQ(slots.Pan(1), -1200);
  // Files are still read: a missing one is refused as with a device.
  EXPECT_THROW(slots.SetFileName(2, "missing.wav"), EFOpenError);
  EXPECT_EQ(slots.FileName(2), "");
  // Nothing plays, so stopping (as "OK" does) and recreating never fail.
  EXPECT_FALSE(slots.Playing(1));
  EXPECT_NO_THROW(slots.Stop(1));
  EXPECT_NO_THROW(slots.RecreateBuffer(1));
}
