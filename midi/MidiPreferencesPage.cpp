#include "midi/MidiPreferencesPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "midi/MidiLive.h"

namespace {
QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// The ports there are now, then the chosen ones that aren't, each checked
// when chosen.
void ShowPorts(QListWidget* list, std::vector<std::string> present,
               const std::vector<std::string>& chosen) {
  for (const auto& port : chosen)
    if (std::find(present.begin(), present.end(), port) == present.end()) present.push_back(port);
  list->clear();
  for (const auto& port : present) {
    auto* item = new QListWidgetItem(Text(port), list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool on = std::find(chosen.begin(), chosen.end(), port) != chosen.end();
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
}

std::vector<std::string> Checked(const QListWidget* list) {
  std::vector<std::string> ports;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked)
      ports.push_back(list->item(i)->text().toStdString());
  return ports;
}
}  // namespace

MidiPreferencesPage::MidiPreferencesPage(MidiLive& live, QWidget* parent)
    : QGroupBox("MIDI", parent), live_(live) {
  setObjectName("MidiPage");
  ApiBox = new QComboBox;
  ApiBox->setObjectName("MidiApiBox");
  ApiBox->addItem("None", "none");
  ApiBox->addItem("ALSA sequencer", "alsa");
  ApiBox->addItem("JACK", "jack");
  SourcesList = new QListWidget;
  SourcesList->setObjectName("MidiSourcesList");
  SourcesList->setMaximumHeight(90);
  TargetsList = new QListWidget;
  TargetsList->setObjectName("MidiTargetsList");
  TargetsList->setMaximumHeight(90);
  ChannelBox = new QComboBox;
  ChannelBox->setObjectName("MidiChannelBox");
  ChannelBox->addItem("Any", 0);
  for (int channel = 1; channel <= 16; ++channel)
    ChannelBox->addItem(QString::number(channel), channel);
  CountInBox = new QCheckBox("Record begins one &bar after the pattern starts (count-in)");
  CountInBox->setObjectName("MidiCountInBox");
  auto* form = new QFormLayout;
  form->addRow("MIDI &ports on:", ApiBox);
  form->addRow("Play and record &from:", SourcesList);
  form->addRow("Send &to:", TargetsList);
  form->addRow("Notes on &channel:", ChannelBox);
  form->addRow(CountInBox);
  ClickBox = new QCheckBox("C&lick on every beat while recording");
  ClickBox->setObjectName("MidiClickBox");
  form->addRow(ClickBox);
  Groups = new QVBoxLayout(this);
  Groups->addLayout(form);
  ShowChoice();
}

void MidiPreferencesPage::ShowChoice() {
  const MidiChoice& choice = live_.Choice();
  ApiBox->setCurrentIndex(std::max(0, ApiBox->findData(Text(MidiSystemWord(choice.api)))));
  ShowPorts(SourcesList, live_.Ports().Sources(), choice.sources);
  ShowPorts(TargetsList, live_.Ports().Targets(), choice.targets);
  ChannelBox->setCurrentIndex(std::max(0, ChannelBox->findData(choice.channel)));
  CountInBox->setChecked(choice.countIn);
  ClickBox->setChecked(choice.click);
}

MidiChoice MidiPreferencesPage::Chosen() const {
  MidiChoice choice;
  choice.api =
      MidiSystemFromWord(ApiBox->currentData().toString().toStdString()).value_or(MidiSystem::None);
  choice.sources = Checked(SourcesList);
  choice.targets = Checked(TargetsList);
  choice.channel = ChannelBox->currentData().toInt();
  choice.countIn = CountInBox->isChecked();
  choice.click = ClickBox->isChecked();
  return choice;
}

std::string MidiPreferencesPage::Apply() {
  const std::string message = live_.Apply(Chosen());
  ShowChoice();
  return message;
}
