#include "midi/MidiSettings.h"

#include <QStringList>

#include "common/AppSettings.h"

namespace {
std::vector<std::string> Strings(const QStringList& list) {
  std::vector<std::string> strings;
  for (const QString& s : list) strings.push_back(s.toStdString());
  return strings;
}

QStringList List(const std::vector<std::string>& strings) {
  QStringList list;
  for (const std::string& s : strings) list << QString::fromStdString(s);
  return list;
}
}  // namespace

MidiChoice LoadMidiChoice() {
  const AppSettings store;
  MidiChoice choice;
  choice.api = MidiSystemFromWord(store.value("midi/api", "none").toString().toStdString())
                   .value_or(MidiSystem::None);
  choice.sources = Strings(store.value("midi/sources").toStringList());
  choice.targets = Strings(store.value("midi/targets").toStringList());
  const int channel = store.value("midi/channel", 0).toInt();
  choice.channel = channel >= 0 && channel <= 16 ? channel : 0;
  choice.countIn = store.value("midi/countIn", false).toBool();
  choice.click = store.value("midi/click", true).toBool();
  return choice;
}

void SaveMidiChoice(const MidiChoice& choice) {
  AppSettings store;
  store.setValue("midi/api", QString::fromStdString(MidiSystemWord(choice.api)));
  store.setValue("midi/sources", List(choice.sources));
  store.setValue("midi/targets", List(choice.targets));
  store.setValue("midi/channel", choice.channel);
  store.setValue("midi/countIn", choice.countIn);
  store.setValue("midi/click", choice.click);
}
