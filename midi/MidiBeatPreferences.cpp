#include "midi/MidiBeatPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "midi/MidiBeatLink.h"
#include "midi/MidiBeatSettingsStore.h"

MidiBeatPreferences::MidiBeatPreferences(QWidget* parent) : QWidget(parent) {
  setObjectName("MidiBeatPreferences");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(BuildBeatGroup());
  layout->addWidget(BuildControlGroup());
  Show(LoadMidiBeatSettings());
}

QWidget* MidiBeatPreferences::BuildBeatGroup() {
  auto* group = new QGroupBox("MIDI beat and clock");
  SendNotesBox = new QCheckBox("Send every hit as a note on channel 10");
  SendNotesBox->setObjectName("SendNotesBox");
  SendClockBox = new QCheckBox("Send MIDI clock (with Start, Stop and Song Position)");
  SendClockBox->setObjectName("SendClockBox");
  FollowClockBox = new QCheckBox("Follow an incoming MIDI clock (tempo, start and stop)");
  FollowClockBox->setObjectName("FollowClockBox");
  auto* layout = new QVBoxLayout(group);
  for (QCheckBox* box : {SendNotesBox, SendClockBox, FollowClockBox}) {
    layout->addWidget(box);
    connect(box, &QCheckBox::clicked, this, [this] { Changed(); });
  }
  return group;
}

QWidget* MidiBeatPreferences::BuildControlGroup() {
  auto* group = new QGroupBox("MIDI control");
  TransportBox = new QCheckBox("MIDI Start, Continue and Stop run the players");
  TransportBox->setObjectName("TransportBox");
  StartPlaysBox = new QComboBox;
  StartPlaysBox->setObjectName("StartPlaysBox");
  StartPlaysBox->addItem("the pattern", static_cast<int>(MidiAction::PlayPattern));
  StartPlaysBox->addItem("the song", static_cast<int>(MidiAction::PlaySong));
  connect(TransportBox, &QCheckBox::clicked, this, [this] { Changed(); });
  connect(StartPlaysBox, &QComboBox::activated, this, [this] { Changed(); });
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(TransportBox);
  auto* form = new QFormLayout;
  form->addRow("MIDI Start &plays:", StartPlaysBox);
  layout->addLayout(form);
  auto* grid = new QGridLayout;
  for (int i = 0; i < kMidiActions; ++i) {
    const auto action = static_cast<MidiAction>(i);
    const QString key = QString::fromLatin1(MidiActionKey(action));
    TriggerLabels[i] = new QLabel;
    TriggerLabels[i]->setObjectName("Trigger-" + key);
    LearnButtons[i] = new QPushButton("Learn");
    LearnButtons[i]->setObjectName("Learn-" + key);
    LearnButtons[i]->setToolTip("Then play the note or move the control that should run it");
    ClearButtons[i] = new QPushButton("Clear");
    ClearButtons[i]->setObjectName("Clear-" + key);
    grid->addWidget(new QLabel(QString::fromLatin1(MidiActionTitle(action))), i, 0);
    grid->addWidget(TriggerLabels[i], i, 1);
    grid->addWidget(LearnButtons[i], i, 2);
    grid->addWidget(ClearButtons[i], i, 3);
    connect(LearnButtons[i], &QPushButton::clicked, this, [this, action] { Learn(action); });
    connect(ClearButtons[i], &QPushButton::clicked, this, [this, action] {
      settings_.controls.Clear(action);
      ShowTriggers();
      Changed();
    });
  }
  layout->addLayout(grid);
  return group;
}

void MidiBeatPreferences::Show(const MidiBeatSettings& settings) {
  settings_ = settings;
  SendNotesBox->setChecked(settings.sendNotes);
  SendClockBox->setChecked(settings.sendClock);
  FollowClockBox->setChecked(settings.followClock);
  TransportBox->setChecked(settings.transport);
  StartPlaysBox->setCurrentIndex(StartPlaysBox->findData(static_cast<int>(settings.startPlays)));
  ShowTriggers();
}

void MidiBeatPreferences::ShowTriggers() {
  MidiBeatLink* link = MidiBeatLink::Current();
  for (int i = 0; i < kMidiActions; ++i) {
    const MidiTrigger& trigger = settings_.controls.Trigger(static_cast<MidiAction>(i));
    TriggerLabels[i]->setText(i == learning_ ? "Play a note or move a control..."
                                             : QString::fromStdString(MidiTriggerText(trigger)));
    LearnButtons[i]->setEnabled(link != nullptr);
    ClearButtons[i]->setEnabled(trigger.kind != MidiTrigger::Kind::None);
  }
  StartPlaysBox->setEnabled(settings_.transport || settings_.followClock);
}

void MidiBeatPreferences::TakeBoxes() {
  settings_.sendNotes = SendNotesBox->isChecked();
  settings_.sendClock = SendClockBox->isChecked();
  settings_.followClock = FollowClockBox->isChecked();
  settings_.transport = TransportBox->isChecked();
  settings_.startPlays = static_cast<MidiAction>(StartPlaysBox->currentData().toInt());
}

void MidiBeatPreferences::Changed() {
  TakeBoxes();
  ShowTriggers();
  SaveMidiBeatSettings(settings_);
  if (MidiBeatLink* link = MidiBeatLink::Current()) link->Apply(settings_);
}

void MidiBeatPreferences::Learn(MidiAction action) {
  MidiBeatLink* link = MidiBeatLink::Current();
  if (!link) return;
  learning_ = static_cast<int>(action);
  ShowTriggers();
  link->Learn(action, this);
}

void MidiBeatPreferences::Learned(MidiAction action, const MidiTrigger& trigger) {
  learning_ = -1;
  settings_.controls.Set(action, trigger);
  ShowTriggers();
  Changed();
}
