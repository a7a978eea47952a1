#include "midi/MidiBeatSettingsStore.h"

#include "common/AppSettings.h"

MidiBeatSettings LoadMidiBeatSettings() {
  AppSettings store;
  store.beginGroup("midi-beat");
  MidiBeatSettings settings;
  settings.sendNotes = store.value("sendNotes", settings.sendNotes).toBool();
  settings.sendClock = store.value("sendClock", settings.sendClock).toBool();
  settings.followClock = store.value("followClock", settings.followClock).toBool();
  settings.transport = store.value("transport", settings.transport).toBool();
  // Start runs one of the two players; anything else stored is no choice.
  if (store.value("startPlays").toString() == "song") settings.startPlays = MidiAction::PlaySong;
  settings.controls = ParseMidiControlMap(store.value("controls").toString().toStdString());
  return settings;
}

void SaveMidiBeatSettings(const MidiBeatSettings& settings) {
  AppSettings store;
  store.beginGroup("midi-beat");
  store.setValue("sendNotes", settings.sendNotes);
  store.setValue("sendClock", settings.sendClock);
  store.setValue("followClock", settings.followClock);
  store.setValue("transport", settings.transport);
  store.setValue("startPlays", settings.startPlays == MidiAction::PlaySong ? "song" : "pattern");
  store.setValue("controls", QString::fromStdString(MidiControlMapText(settings.controls)));
}
