#include "kit/StudioOutputs.h"

#include <QSettings>
#include <algorithm>

#include "kit/SdlAudioOutput.h"
#include "kit/SoundSettings.h"

namespace {

QSettings Store() {
  return QSettings("korvanto", "korvanto");
}

}  // namespace

JackLinkOptions LoadJackOptions() {
  const QSettings store = Store();
  JackLinkOptions options;
  options.connectToPlayback = store.value("jack/connectToPlayback", true).toBool();
  options.groupPorts = store.value("jack/instrumentPorts", false).toBool();
  options.followTransport = store.value("jack/followTransport", true).toBool();
  options.timebaseMaster = store.value("jack/timebaseMaster", false).toBool();
  return options;
}

void SaveJackOptions(const JackLinkOptions& options) {
  QSettings store = Store();
  store.setValue("jack/connectToPlayback", options.connectToPlayback);
  store.setValue("jack/instrumentPorts", options.groupPorts);
  store.setValue("jack/followTransport", options.followTransport);
  store.setValue("jack/timebaseMaster", options.timebaseMaster);
}

std::vector<std::string> StudioSoundOutputs::Drivers() {
  std::vector<std::string> drivers = sdl_.Drivers();
  std::erase(drivers, std::string(kJackDriver));  // SDL's own, where it has one
  drivers.emplace_back(kJackDriver);
  return drivers;
}

std::string StudioSoundOutputs::CurrentDriver() {
  if (onJack_ && !JackPlaysThroughSdl()) return kJackDriver;
  return sdl_.CurrentDriver();
}

std::vector<std::string> StudioSoundOutputs::Devices() {
  if (CurrentDriver() == kJackDriver) return {};
  return sdl_.Devices();
}

int StudioSoundOutputs::Rate() {
  if (CurrentDriver() == kJackDriver && JackRate() > 0) return JackRate();
  return sdl_.Rate();
}

bool StudioSoundOutputs::Use(const SoundOutputChoice& choice) {
  if (choice.driver == kJackDriver) {
    if (!onJack_) return JackServerAnswers();
    return PlayJackThroughSdl(false);
  }
  if (!sdl_.Use(choice)) return false;
  if (onJack_) PlayJackThroughSdl(true);
  return true;
}

std::string StudioSoundOutputs::NoteOnUse(const SoundOutputChoice& choice) {
  if (choice.driver == kJackDriver && !onJack_)
    return "Korvanto plays through JACK from its next start.";
  return {};
}

std::string StartSoundOutput(std::optional<bool> forceJack, bool& onJack) {
  const SoundOutputChoice stored = LoadSoundChoice();
  const bool wantJack = forceJack.value_or(stored.driver == kJackDriver);
  onJack = wantJack && JackServerAnswers();
  SetAudioOutputFactory(onJack ? JackAudioOutputFactory() : SdlAudioOutputFactory());
  if (onJack) SetJackOptions(LoadJackOptions());
  std::string news;
  if (wantJack && !onJack)
    news = "The JACK server does not answer: Korvanto plays through SDL's output.";
  // SDL's own choice stays in force for SDL, and for JACK's stand-in.
  if (stored.driver != kJackDriver) {
    const std::string sdlNews = UseStoredSoundChoice(SdlSoundOutputs());
    if (news.empty()) news = sdlNews;
  }
  return news;
}
