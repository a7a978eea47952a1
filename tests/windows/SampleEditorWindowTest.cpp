// The sample editor driven as a user drives it: menu, buttons, bars and the
// semitone images, with the slot chosen as the Extra samples window does.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <fstream>
#include <thread>

#include "common/QtDecodeProgress.h"
#include "kit/SoundImport.h"
#include "render/Main.h"
#include "render/SlotTestSupport.h"
#include "support/SoundFiles.h"
#include "support/WindowTest.h"

namespace {

class SampleEditorWindow : public testing::Test {
 protected:
  SampleEditorWindow() {
    WriteWav(home / "Blank.wav", 22050, 64, 2, true);
    form = std::make_unique<TMainForm>();
  }
  ~SampleEditorWindow() override { form.reset(); }

  // What the Extra samples window does when slot n is clicked.
  void ChooseSlot(int n) {
    form->SetCaption("Sample " + std::to_string(n) + " : " + form->Slots().FileName(n));
    form->SetCurrentSlot(n);
    if (form->isHidden()) ShowAndActivate(*form);
    form->LoadSlotControls(n);
  }
  std::string OpenThroughMenu(const std::string& name, uint32_t rate, int frames = 4410) {
    const auto path = home / name;
    WriteWav(path, rate, frames);
    home.prompts.paths.push_back(path.string());
    form->FileOpen->trigger();
    return path.string();
  }
  SampleSlots& slots() { return form->Slots(); }

  CaptureSound capture;
  WindowTestHome home;
  std::unique_ptr<TMainForm> form;
};

TEST_F(SampleEditorWindow, StartsHiddenWithItsControlsDisabled) {
  EXPECT_TRUE(form->isHidden());
  EXPECT_EQ(form->windowTitle(), "Sample1");
  EXPECT_FALSE(form->PlayButton->isEnabled());
  EXPECT_FALSE(form->PanTrackBar->isEnabled());
  EXPECT_FALSE(form->VolumeTrackBar->isEnabled());
  EXPECT_FALSE(form->FrequencyTrackBar->isEnabled());
  EXPECT_TRUE(form->GlobalFocusItem->isChecked());
  EXPECT_EQ(form->centralWidget()->size(),
            QSize(TMainForm::kClientWidth, TMainForm::kClientHeight));
  // The bars' names stand whole inside the window, clear of its border.
  for (QLabel* label : {form->FrequencyLabel, form->VolumeLabel, form->PanLabel})
    EXPECT_LE(label->x() + label->sizeHint().width(), TMainForm::kClientWidth - 4)
        << label->text().toStdString();
  EXPECT_EQ(form->FrequencyTrackBar->minimum(), 4410);
  EXPECT_EQ(form->FrequencyTrackBar->maximum(), 44100);
  EXPECT_EQ(form->FrequencyTrackBar->pageStep(), 1100);
  EXPECT_EQ(slots().FileName(32), "Blank.wav");
  EXPECT_TRUE(home.prompts.messages.empty());
}

TEST_F(SampleEditorWindow, ChoosingASlotLoadsItsSettingsIntoTheBars) {
  slots().SetPan(4, -1234);
  slots().SetVolume(4, -2550);
  slots().SetFrequency(4, 30000);
  ChooseSlot(4);
  EXPECT_EQ(form->windowTitle(), "Sample 4 : Blank.wav");
  EXPECT_EQ(form->PanTrackBar->value(), -12);
  EXPECT_EQ(form->VolumeTrackBar->value(), -26);  // -25.5: ties to even
  EXPECT_EQ(form->FrequencyTrackBar->value(), 30000);
  // Loading the bars ran none of their handlers: the slot keeps exact values.
  EXPECT_EQ(slots().Pan(4), -1234);
  EXPECT_EQ(slots().Volume(4), -2550);
  EXPECT_EQ(slots().Frequency(4), 30000u);

  ChooseSlot(5);
  EXPECT_EQ(form->PanTrackBar->value(), 0);
  EXPECT_EQ(form->FrequencyTrackBar->value(), 22050);
}

TEST_F(SampleEditorWindow, OpenThroughTheMenuEnablesTheControls) {
  ChooseSlot(2);
  const std::string path = OpenThroughMenu("conga.wav", 11025);
  ASSERT_EQ(home.prompts.fileRequests.size(), 1u);
  EXPECT_EQ(home.prompts.fileRequests[0].filter, kSoundFileFilter);
  EXPECT_EQ(form->windowTitle().toStdString(), "Sample 2 : " + path);
  EXPECT_EQ(slots().FileName(2), path);
  EXPECT_TRUE(form->PlayButton->isEnabled());
  EXPECT_TRUE(form->PanTrackBar->isEnabled());
  EXPECT_EQ(form->FrequencyTrackBar->value(), 11025);
  EXPECT_TRUE(home.prompts.messages.empty());

  // Choosing another slot leaves the controls as they are.
  ChooseSlot(3);
  EXPECT_TRUE(form->PlayButton->isEnabled());
  form->FileClose->trigger();
  EXPECT_FALSE(form->PlayButton->isEnabled());
  EXPECT_FALSE(form->FrequencyTrackBar->isEnabled());
}

// A decoder that takes its time: a second of silence in 100 slow pieces.
class SlowDecoder : public SoundDecoder {
  class Reader : public SoundReader {
   public:
    const SoundInfo& Info() const override { return info_; }
    std::int64_t Read(float* out, std::int64_t frames) override {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      const std::int64_t n = std::min<std::int64_t>({frames, 441, left_});
      std::fill(out, out + 2 * n, 0.0f);
      left_ -= n;
      return n;
    }

   private:
    SoundInfo info_{44100, 44100, 2, 24};
    std::int64_t left_ = 44100;
  };

 public:
  std::unique_ptr<SoundReader> Open(const std::filesystem::path&) override {
    return std::make_unique<Reader>();
  }
};

TEST_F(SampleEditorWindow, AFlacOpensThroughTheMenuAndALongDecodeShowsProgressAndCancels) {
  QtDecodeProgress progress;
  const DecodeWatchScope watching(progress);
  const SndFileDecoding decoding;
  ChooseSlot(2);
  const auto tone = sound_files::Tone16(2205, 22050);
  sound_files::WriteSound(home / "conga.flac", sound_files::kFlac16, 22050, 2,
                          sound_files::Widen(tone));
  home.prompts.paths.push_back((home / "conga.flac").string());
  form->FileOpen->trigger();
  EXPECT_TRUE(home.prompts.messages.empty());
  EXPECT_EQ(form->windowTitle().toStdString(), "Sample 2 : " + (home / "conga.flac").string());
  EXPECT_EQ(slots().FileName(2), (home / "conga.flac").string());
  EXPECT_EQ(form->FrequencyTrackBar->value(), 22050);
  EXPECT_TRUE(form->PlayButton->isEnabled());

  // A slow decode: its dialog appears, and Cancel on it changes nothing.
  SetSoundDecoder(std::make_shared<SlowDecoder>());
  std::ofstream(home / "long.flac") << "whatever the slow decoder makes of it";
  home.prompts.paths.push_back((home / "long.flac").string());
  bool seen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QProgressDialog* dialog = progress.Dialog();
    if (seen || !dialog || !dialog->isVisible()) return;
    seen = true;
    EXPECT_EQ(dialog->labelText(), "Decoding long.flac");
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
  });
  poll.start(20);
  form->FileOpen->trigger();
  EXPECT_TRUE(seen);
  EXPECT_EQ(progress.Dialog(), nullptr);
  EXPECT_TRUE(home.prompts.messages.empty());  // a cancel is no error
  EXPECT_EQ(slots().FileName(2), (home / "conga.flac").string());
  EXPECT_EQ(form->windowTitle().toStdString(), "Sample 2 : " + (home / "conga.flac").string());
  EXPECT_TRUE(form->PlayButton->isEnabled());
  EXPECT_FALSE(std::filesystem::exists(home / "temp" / "decoded-sample2.wav.part"));
}

TEST_F(SampleEditorWindow, CancellingTheDialogChangesNothing) {
  ChooseSlot(1);
  form->FileOpen->trigger();  // no scripted path: the user cancels
  EXPECT_EQ(home.prompts.fileRequests.size(), 1u);
  EXPECT_EQ(slots().FileName(1), "Blank.wav");
  EXPECT_EQ(form->windowTitle(), "Sample 1 : Blank.wav");
}

TEST_F(SampleEditorWindow, BarsMovedByTheUserSetTheSlot) {
  ChooseSlot(6);
  OpenThroughMenu("a.wav", 22050);
  form->PanTrackBar->setFocus();
  QTest::keyClick(form->PanTrackBar, Qt::Key_Home);
  EXPECT_EQ(slots().Pan(6), -4000);
  QTest::keyClick(form->VolumeTrackBar, Qt::Key_Home);
  EXPECT_EQ(slots().Volume(6), -4000);
  QTest::keyClick(form->FrequencyTrackBar, Qt::Key_PageUp);
  EXPECT_EQ(form->FrequencyTrackBar->value(), 22050 + 1100);
  EXPECT_EQ(slots().Frequency(6), 23150u);
  EXPECT_EQ(slots().BaseFrequency(6), 22050);

  // A click on the bar's groove moves it too.
  const int before = form->PanTrackBar->value();
  QStyleOptionSlider option;
  option.initFrom(form->PanTrackBar);
  option.orientation = Qt::Horizontal;
  option.minimum = form->PanTrackBar->minimum();
  option.maximum = form->PanTrackBar->maximum();
  option.sliderPosition = option.sliderValue = before;
  option.tickPosition = QSlider::TicksBelow;
  const QRect groove = form->PanTrackBar->style()->subControlRect(
      QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, form->PanTrackBar);
  QTest::mouseClick(form->PanTrackBar, Qt::LeftButton, {},
                    QPoint(groove.right() - 4, groove.center().y()));
  EXPECT_GT(form->PanTrackBar->value(), before);
  EXPECT_EQ(slots().Pan(6), form->PanTrackBar->value() * 100);
  EXPECT_EQ(slots().Pan(5), 0);
}

TEST_F(SampleEditorWindow, SemitoneImagesStepThePitch) {
  ChooseSlot(1);
  OpenThroughMenu("a.wav", 22050);
  QTest::mouseClick(form->Image2, Qt::LeftButton);
  EXPECT_EQ(slots().Frequency(1), 23361u);
  EXPECT_EQ(form->FrequencyTrackBar->value(), 23361);
  QTest::mouseClick(form->Image2, Qt::LeftButton);
  QTest::mouseClick(form->Image1, Qt::LeftButton);
  EXPECT_EQ(slots().SemitoneOffset(1), 100);
  EXPECT_EQ(slots().Frequency(1), 23361u);
  EXPECT_TRUE(form->Image1->isVisible());
  EXPECT_TRUE(form->Image2->isVisible());
  EXPECT_TRUE(slots().Playing(1));

  ChooseSlot(2);  // empty: the images do nothing
  QTest::mouseClick(form->Image2, Qt::LeftButton);
  EXPECT_EQ(slots().SemitoneOffset(2), 0);
  EXPECT_FALSE(slots().Playing(2));
}

TEST_F(SampleEditorWindow, EachBarShowsItsValueAndNamesItForToolTipsAndScreenReaders) {
  ChooseSlot(3);
  OpenThroughMenu("a.wav", 22050);
  EXPECT_EQ(form->FrequencyValue->text(), "22050 Hz 0.0 st");
  EXPECT_EQ(form->VolumeValue->text(), "0 dB");
  EXPECT_EQ(form->PanValue->text(), "Centre");
  EXPECT_EQ(form->FrequencyTrackBar->accessibleName(), "Pitch");
  EXPECT_EQ(form->VolumeTrackBar->accessibleName(), "Volume");
  EXPECT_EQ(form->PanTrackBar->accessibleName(), "Pan");
  EXPECT_EQ(form->Image1->accessibleName(), "Down a semitone");
  EXPECT_EQ(form->Image2->accessibleName(), "Up a semitone");
  for (QWidget* control : std::initializer_list<QWidget*>{form->PlayButton, form->Button1}) {
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
  }

  // Moves by the user show at once, in the tool tip too.
  QTest::keyClick(form->PanTrackBar, Qt::Key_Home);
  EXPECT_EQ(form->PanValue->text(), "L 100 %");
  EXPECT_EQ(form->PanTrackBar->toolTip(), "Pan: 100 % left");
  QTest::keyClick(form->PanTrackBar, Qt::Key_PageUp);
  QTest::keyClick(form->PanTrackBar, Qt::Key_PageUp);
  EXPECT_EQ(form->PanValue->text(), "L 90 %");
  QTest::keyClick(form->VolumeTrackBar, Qt::Key_Home);
  EXPECT_EQ(form->VolumeValue->text(), "-40 dB");
  EXPECT_EQ(form->VolumeTrackBar->toolTip(), "Volume: -40 dB");
  QTest::mouseClick(form->Image2, Qt::LeftButton);
  EXPECT_EQ(form->FrequencyValue->text(), "23361 Hz +1.0 st");
  EXPECT_EQ(form->FrequencyTrackBar->toolTip(),
            "Pitch: 23361 Hz, +1.0 semitones from the file's 22050 Hz");
  QTest::keyClick(form->FrequencyTrackBar, Qt::Key_Home);
  EXPECT_EQ(form->FrequencyValue->text(), "4410 Hz -27.9 st");

  // The longest values stand whole inside the window.
  for (QLabel* value : {form->FrequencyValue, form->VolumeValue, form->PanValue}) {
    value->setText("44100 Hz -27.9 st");
    EXPECT_LE(value->x() + value->sizeHint().width(), TMainForm::kClientWidth - 2);
    EXPECT_EQ(value->x() + value->width(), TMainForm::kClientWidth - 4);
  }
}

TEST_F(SampleEditorWindow, PitchCountsSemitonesFromTheFilesOwnRateAlsoBeyondTheBar) {
  // A song gave slot 5 a 44100 Hz file at 22050 Hz: an octave down.
  const auto path = home / "song.wav";
  WriteWav(path, 44100, 4410);
  slots().LoadFile(5, path.string(), 22050);
  ChooseSlot(5);
  EXPECT_EQ(form->FrequencyValue->text(), "22050 Hz -12.0 st");

  // A semitone up from 44100 Hz plays above the bar's end, and says so.
  ChooseSlot(6);
  OpenThroughMenu("full.wav", 44100);
  QTest::mouseClick(form->Image2, Qt::LeftButton);
  EXPECT_EQ(form->FrequencyTrackBar->value(), 44100);
  EXPECT_EQ(slots().Frequency(6), 46722u);
  EXPECT_EQ(form->FrequencyValue->text(), "46722 Hz +1.0 st");
}

TEST_F(SampleEditorWindow, TheSemitoneArrowsAreReachedWithTabAndPressedWithSpaceOrEnter) {
  ChooseSlot(1);
  OpenThroughMenu("a.wav", 22050);
  ShowAndActivate(*form);
  form->PlayButton->setFocus();
  QWidget* reached = nullptr;
  for (int tab = 0; tab < 12 && reached != form->Image2; ++tab) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    reached = QApplication::focusWidget();
  }
  ASSERT_EQ(reached, form->Image2);
  QTest::keyClick(form->Image2, Qt::Key_Space);
  EXPECT_EQ(slots().SemitoneOffset(1), 100);
  EXPECT_EQ(slots().Frequency(1), 23361u);
  // The focus stays on the arrow, which another press steps again.
  EXPECT_EQ(QApplication::focusWidget(), form->Image2);
  QTest::keyClick(form->Image2, Qt::Key_Return);
  EXPECT_EQ(slots().SemitoneOffset(1), 200);

  QTest::keyClick(form->Image2, Qt::Key_Backtab);
  ASSERT_EQ(QApplication::focusWidget(), form->Image1);
  QTest::keyClick(form->Image1, Qt::Key_Enter);
  QTest::keyClick(form->Image1, Qt::Key_Space);
  QTest::keyClick(form->Image1, Qt::Key_Space);
  EXPECT_EQ(slots().SemitoneOffset(1), -100);
  EXPECT_EQ(form->FrequencyValue->text(), "20812 Hz -1.0 st");
  // Other keys do nothing to the pitch.
  QTest::keyClick(form->Image1, Qt::Key_A);
  EXPECT_EQ(slots().SemitoneOffset(1), -100);
}

TEST_F(SampleEditorWindow, OkStopsTheSoundAndExitDoesNot) {
  ChooseSlot(1);
  OpenThroughMenu("long.wav", 22050, 22050 * 4);
  QTest::mouseClick(form->PlayButton, Qt::LeftButton);
  EXPECT_TRUE(slots().Playing(1));
  form->FileEnd->trigger();
  EXPECT_TRUE(form->isHidden());
  EXPECT_TRUE(slots().Playing(1));

  ChooseSlot(1);
  QTest::mouseClick(form->Button1, Qt::LeftButton);
  EXPECT_TRUE(form->isHidden());
  EXPECT_FALSE(slots().Playing(1));
}

TEST_F(SampleEditorWindow, AFileThatIsNoWaveIsReportedAndDisablesTheControls) {
  ChooseSlot(7);
  OpenThroughMenu("good.wav", 22050);
  std::ofstream(home / "bad.wav", std::ios::binary) << "not a wave";
  home.prompts.paths.push_back((home / "bad.wav").string());
  form->FileOpen->trigger();
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_FALSE(home.prompts.messages[0].text.empty());
  EXPECT_FALSE(form->PlayButton->isEnabled());
  EXPECT_FALSE(form->PanTrackBar->isEnabled());
  EXPECT_EQ(slots().FileName(7), "");
  EXPECT_EQ(form->windowTitle().toStdString(), "Sample 7 : " + (home / "bad.wav").string());
}

TEST_F(SampleEditorWindow, GlobalFocusItemFlipsTheDeviceOption) {
  ChooseSlot(1);
  OpenThroughMenu("a.wav", 22050);
  form->GlobalFocusItem->trigger();
  EXPECT_FALSE(form->GlobalFocusItem->isChecked());
  EXPECT_EQ(form->Sound().Options() & soGlobalFocus, 0u);
  form->GlobalFocusItem->trigger();
  EXPECT_TRUE(form->GlobalFocusItem->isChecked());
  EXPECT_NE(form->Sound().Options() & soGlobalFocus, 0u);
}

TEST(SampleEditorWindowStart, ABlankFileThatIsNoWaveIsReportedOnce) {
  CaptureSound capture;
  WindowTestHome home;
  std::ofstream(home / "Blank.wav", std::ios::binary) << "BLANK";
  TMainForm form;
  EXPECT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(form.Slots().FileName(1), "");
  EXPECT_EQ(form.Slots().FileName(32), "");
}

}  // namespace

TEST(SampleEditorWindowStart, WithoutASoundDeviceOkStillHides) {
  SetAudioOutputFactory(nullptr);
  WindowTestHome home;
  WriteWav(home / "Blank.wav", 22050, 64, 2, true);
  TMainForm form;
  EXPECT_FALSE(form.Sound().Initialized());
  EXPECT_EQ(form.Slots().FileName(1), "Blank.wav");
  form.SetCurrentSlot(1);
  ShowAndActivate(form);
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_TRUE(form.isHidden());
  EXPECT_TRUE(home.prompts.messages.empty());
}
