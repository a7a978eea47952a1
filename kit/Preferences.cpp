#include "kit/Preferences.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "kit/JackPreferences.h"
#include "kit/SoundSettings.h"
#include "kit/StudioOutputs.h"
#include "midi/MidiBeatPreferences.h"
#include "midi/MidiLive.h"
#include "midi/MidiPreferencesPage.h"

namespace {
QString Text(const std::string& text) {
  return QString::fromStdString(text);
}
}  // namespace

TPreferences::TPreferences(SoundOutputs& outputs, std::function<void()> testSound, QWidget* parent)
    : QDialog(parent), outputs_(outputs), testSound_(std::move(testSound)) {
  setWindowTitle("Preferences");
  DriverBox = new QComboBox;
  DriverBox->setObjectName("DriverBox");
  DeviceBox = new QComboBox;
  DeviceBox->setObjectName("DeviceBox");
  BlockBox = new QComboBox;
  BlockBox->setObjectName("BlockBox");
  auto* form = new QFormLayout;
  form->addRow("Sound &driver:", DriverBox);
  form->addRow("Output &device:", DeviceBox);
  form->addRow("&Block size:", BlockBox);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Apply |
                                 QDialogButtonBox::Cancel);
  Jack = new JackPreferences;
  // One page each: the dialog stays small enough for a laptop's screen.
  auto* sound = new QWidget;
  auto* soundLayout = new QVBoxLayout(sound);
  soundLayout->addLayout(form);
  soundLayout->addWidget(Jack);
  soundLayout->addStretch();
  auto* midi = new QWidget;
  auto* midiLayout = new QVBoxLayout(midi);
  if (MidiLive* live = MidiLive::Running()) {
    MidiPage = new MidiPreferencesPage(*live);
    midiLayout->addWidget(MidiPage);
  }
  midiLayout->addStretch();
  auto* pages = new QTabWidget;
  pages->setObjectName("PreferencePages");
  pages->addTab(sound, "&Sound");
  pages->addTab(midi, "&MIDI");
  pages->addTab(new MidiBeatPreferences, "MIDI &beat and control");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addWidget(Buttons);
  connect(Buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
          [this] { RunGuarded(AppPrompts(), [this] { Apply(); }); });
  connect(Buttons, &QDialogButtonBox::accepted, this, [this] {
    RunGuarded(AppPrompts(), [this] { Apply(); });
    accept();
  });
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Another driver's devices are listed once it is in use.
  connect(DriverBox, &QComboBox::activated, this, [this] { ShowDevices({}); });
  ShowChoice();
}

void TPreferences::ShowChoice() {
  const SoundOutputChoice stored = LoadSoundChoice();
  {
    const QSignalBlocker block(DriverBox);
    DriverBox->clear();
    DriverBox->addItem("Default", QString());
    for (const auto& driver : outputs_.Drivers())
      DriverBox->addItem(Text(DriverTitle(driver)), Text(driver));
    Select(DriverBox, Text(stored.driver));
  }
  ShowDevices(stored.device);
  BlockBox->clear();
  for (int frames : kBlockSizes)
    BlockBox->addItem(Text(BlockSizeText(frames, outputs_.Rate())), frames);
  BlockBox->setCurrentIndex(BlockBox->findData(stored.blockFrames));
  if (MidiPage) MidiPage->ShowChoice();
  Jack->Show(LoadJackOptions());
}

void TPreferences::ShowDevices(const std::string& device) {
  DeviceBox->clear();
  DeviceBox->addItem("Default", QString());
  const std::string driver = DriverBox->currentData().toString().toStdString();
  if (driver.empty() || driver == outputs_.CurrentDriver())
    for (const auto& name : outputs_.Devices()) DeviceBox->addItem(Text(name), Text(name));
  // A stored device not offered now stays shown: applying tells what became of it.
  if (!device.empty() && DeviceBox->findData(Text(device)) < 0)
    DeviceBox->addItem(Text(device), Text(device));
  Select(DeviceBox, Text(device));
}

void TPreferences::Select(QComboBox* box, const QString& data) {
  const int index = box->findData(data);
  box->setCurrentIndex(index < 0 ? 0 : index);
}

SoundOutputChoice TPreferences::Chosen() const {
  SoundOutputChoice choice;
  choice.driver = DriverBox->currentData().toString().toStdString();
  choice.device = DeviceBox->currentData().toString().toStdString();
  choice.blockFrames = BlockBox->currentData().toInt();
  return choice;
}

void TPreferences::Apply() {
  // The MIDI ports first: showing the sound's choice shows theirs again too.
  const std::string midi = MidiPage ? MidiPage->Apply() : std::string();
  Jack->Apply();
  const SoundChoiceResult result = UseSoundChoice(outputs_, Chosen());
  SaveSoundChoice(result.used);
  ShowChoice();
  if (!result.message.empty()) AppPrompts().ShowError(result.message);
  if (!midi.empty()) AppPrompts().ShowError(midi);
  const std::string note = result.fellBack ? std::string() : outputs_.NoteOnUse(result.used);
  if (!note.empty()) AppPrompts().Message(note, "Preferences", PromptButtons::Ok);
  if (testSound_) testSound_();
}
