// Options › Preferences: the sound output chosen, applied, kept and put to
// use at start; a device that is gone falls back to the default, told once.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <set>

#include "kit/JackPreferences.h"
#include "kit/Preferences.h"
#include "kit/SoundSettings.h"
#include "kit/StudioOutputs.h"
#include "pattern/Sequencer.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"

namespace {

// The system's outputs as a test wants them: devices that are gone fail.
class FakeOutputs : public SoundOutputs {
 public:
  std::vector<std::string> Drivers() override { return {"pipewire", "alsa"}; }
  std::string CurrentDriver() override { return current; }
  std::vector<std::string> Devices() override { return {"Speakers", "USB Headset"}; }
  int Rate() override { return 48000; }
  bool Use(const SoundOutputChoice& choice) override {
    tried.push_back(choice);
    if (gone.contains(choice.device)) return false;
    current = choice.driver.empty() ? "pipewire" : choice.driver;
    return true;
  }
  std::string current = "pipewire";
  std::set<std::string> gone;
  std::vector<SoundOutputChoice> tried;
};

// Settings go to the test's own folder, never the user's.
class SettingsInTemp {
 public:
  SettingsInTemp() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(dir_.path().string()));
  }
  ~SettingsInTemp() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  }

 private:
  TempDir dir_;
};

class Preferences : public ::testing::Test {
 protected:
  Preferences() {
    SetSoundOutputs(&outputs);
    ShowAndActivate(sequence);
    tape = TestAudio::LastTape();
    sequence.ComboBox1->setCurrentText("Snare     [ ]");  // the test sound
  }
  ~Preferences() override { SetSoundOutputs(nullptr); }

  TPreferences& Open() {
    sequence.PreferencesClick();
    return *sequence.PreferencesWindow();
  }
  static void Choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
  }
  bool TestSoundHeard() {
    tape->Clear();
    tape->RenderFrames(4800);
    const auto samples = tape->Samples();
    return std::any_of(samples.begin(), samples.end(), [](float s) { return s != 0; });
  }
  static QString Stored(const char* key) {
    return QSettings("korvanto", "korvanto").value(key).toString();
  }

  SettingsInTemp settings;
  FakeOutputs outputs;
  WindowTestHome home;
  TSequence sequence;
  std::shared_ptr<CaptureTape> tape;
};

}  // namespace

TEST_F(Preferences, OffersDriversDevicesAndBlockSizesWithTheirLatency) {
  TPreferences& dialog = Open();
  auto texts = [](QComboBox* box) {
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
    return items;
  };
  EXPECT_EQ(texts(dialog.DriverBox), (std::vector<std::string>{"Default", "PipeWire", "ALSA"}));
  EXPECT_EQ(texts(dialog.DeviceBox),
            (std::vector<std::string>{"Default", "Speakers", "USB Headset"}));
  EXPECT_EQ(texts(dialog.BlockBox),
            (std::vector<std::string>{"128 frames (2.7 ms)", "256 frames (5.3 ms)",
                                      "512 frames (10.7 ms)", "1024 frames (21.3 ms)"}));
  EXPECT_EQ(dialog.BlockBox->currentText(), "256 frames (5.3 ms)");
  Choose(dialog.DriverBox, "ALSA");  // not in use: its devices are not known yet
  EXPECT_EQ(texts(dialog.DeviceBox), std::vector<std::string>{"Default"});
}

TEST_F(Preferences, ApplyingUsesTheOutputKeepsItAndPlaysTheTestSound) {
  struct Case {
    QString driver, device, block;
    SoundOutputChoice used;
  };
  for (const Case& c : std::vector<Case>{
           {"PipeWire", "USB Headset", "128 frames (2.7 ms)", {"pipewire", "USB Headset", 128}},
           {"Default", "Default", "1024 frames (21.3 ms)", {"", "", 1024}},
           {"PipeWire", "Speakers", "512 frames (10.7 ms)", {"pipewire", "Speakers", 512}},
       }) {
    TPreferences& dialog = Open();
    Choose(dialog.DriverBox, c.driver);
    Choose(dialog.DeviceBox, c.device);
    Choose(dialog.BlockBox, c.block);
    TestSoundHeard();  // whatever came before
    dialog.Buttons->button(QDialogButtonBox::Apply)->click();
    ASSERT_FALSE(outputs.tried.empty());
    EXPECT_EQ(outputs.tried.back(), c.used) << c.device.toStdString();
    EXPECT_TRUE(TestSoundHeard()) << c.device.toStdString();
    EXPECT_EQ(LoadSoundChoice(), c.used) << c.device.toStdString();
    // Opened again, the dialog shows what is kept.
    dialog.close();
    EXPECT_EQ(Open().DeviceBox->currentText(), c.device);
  }
  EXPECT_TRUE(home.prompts.messages.empty());
}

TEST_F(Preferences, ADeviceThatIsGoneFallsBackToTheDefaultWithAMessage) {
  TPreferences& dialog = Open();
  Choose(dialog.DriverBox, "PipeWire");
  Choose(dialog.DeviceBox, "USB Headset");
  outputs.gone = {"USB Headset"};  // unplugged while the dialog was open
  dialog.Buttons->button(QDialogButtonBox::Ok)->click();
  ASSERT_EQ(outputs.tried.size(), 2u);
  EXPECT_EQ(outputs.tried[1], SoundOutputChoice{});
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text,
            "The sound output \"PipeWire: USB Headset\" cannot be opened; Korvanto plays through "
            "the default output.");
  EXPECT_EQ(LoadSoundChoice(), SoundOutputChoice{});
  EXPECT_TRUE(dialog.isHidden());
}

// At start the stored choice is used; one that no longer works is told of
// at the first start only, and kept for when the device comes back.
TEST_F(Preferences, AtStartAStoredDeviceThatIsGoneIsToldOfOnce) {
  SaveSoundChoice({"alsa", "USB Headset", 512});
  outputs.gone = {"USB Headset"};
  struct Case {
    bool gone;
    bool told;
  };
  for (const Case& c :
       std::vector<Case>{{true, true}, {true, false}, {false, false}, {true, true}}) {
    outputs.gone = c.gone ? std::set<std::string>{"USB Headset"} : std::set<std::string>{};
    outputs.tried.clear();
    const std::string told = UseStoredSoundChoice(outputs);
    EXPECT_EQ(!told.empty(), c.told);
    if (c.told) {
      EXPECT_EQ(told,
                "The sound output \"ALSA: USB Headset\" cannot be opened; Korvanto plays through "
                "the default output.");
    }
    const SoundOutputChoice fallback{"", "", 512};
    EXPECT_EQ(outputs.tried.back(), c.gone ? fallback : LoadSoundChoice());
    EXPECT_EQ(LoadSoundChoice(), (SoundOutputChoice{"alsa", "USB Headset", 512}));
  }
  EXPECT_EQ(Stored("sound/driver"), "alsa");
}

// The JACK options: shown as kept, applied with the rest, and kept.
TEST_F(Preferences, TheJackOptionsAreKeptAndShownAgain) {
  TPreferences& dialog = Open();
  ASSERT_NE(dialog.Jack, nullptr);
  EXPECT_TRUE(dialog.Jack->ConnectBox->isChecked());
  EXPECT_FALSE(dialog.Jack->PortsBox->isChecked());
  EXPECT_TRUE(dialog.Jack->FollowBox->isChecked());
  EXPECT_FALSE(dialog.Jack->TimebaseBox->isChecked());
  dialog.Jack->ConnectBox->setChecked(false);
  dialog.Jack->PortsBox->setChecked(true);
  dialog.Jack->TimebaseBox->setChecked(true);
  dialog.Buttons->button(QDialogButtonBox::Apply)->click();
  const JackLinkOptions kept = LoadJackOptions();
  EXPECT_FALSE(kept.connectToPlayback);
  EXPECT_TRUE(kept.groupPorts);
  EXPECT_TRUE(kept.followTransport);
  EXPECT_TRUE(kept.timebaseMaster);
  EXPECT_EQ(CurrentJackOptions(), kept);
  dialog.Jack->PortsBox->setChecked(false);  // not applied
  dialog.ShowChoice();
  EXPECT_TRUE(dialog.Jack->PortsBox->isChecked());
  SaveJackOptions(JackLinkOptions{});
  SetJackOptions(JackLinkOptions{});
}
