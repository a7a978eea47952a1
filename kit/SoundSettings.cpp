#include "kit/SoundSettings.h"

#include <QSettings>

namespace {

QSettings Store() {
  return QSettings("korvanto", "korvanto");
}

}  // namespace

SoundOutputChoice LoadSoundChoice() {
  const QSettings store = Store();
  SoundOutputChoice choice;
  choice.driver = store.value("sound/driver").toString().toStdString();
  choice.device = store.value("sound/device").toString().toStdString();
  choice.blockFrames = NearestBlockSize(store.value("sound/blockFrames", 256).toInt());
  return choice;
}

void SaveSoundChoice(const SoundOutputChoice& choice) {
  QSettings store = Store();
  store.setValue("sound/driver", QString::fromStdString(choice.driver));
  store.setValue("sound/device", QString::fromStdString(choice.device));
  store.setValue("sound/blockFrames", choice.blockFrames);
  store.remove("sound/unavailable");
}

std::string UseStoredSoundChoice(SoundOutputs& outputs) {
  const SoundOutputChoice choice = LoadSoundChoice();
  // The default output needs no trial: the first window opens it as ever.
  if (choice == SoundOutputChoice{}) return {};
  const SoundChoiceResult result = UseSoundChoice(outputs, choice);
  QSettings store = Store();
  if (!result.fellBack) {
    store.remove("sound/unavailable");
    return {};
  }
  // The choice stays stored: the device may come back by the next start.
  const QString failed = QString::fromStdString(ChoiceText(choice));
  if (store.value("sound/unavailable").toString() == failed) return {};
  store.setValue("sound/unavailable", failed);
  return result.message;
}
