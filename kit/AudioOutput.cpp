#include "kit/AudioOutput.h"

#include <mutex>

namespace {

std::mutex& FactoryMutex() {
  static std::mutex mutex;
  return mutex;
}

AudioOutputFactory& Factory() {
  static AudioOutputFactory factory;
  return factory;
}

}  // namespace

void SetAudioOutputFactory(AudioOutputFactory factory) {
  std::lock_guard lock(FactoryMutex());
  Factory() = std::move(factory);
}

std::unique_ptr<AudioOutput> MakeAudioOutput() {
  AudioOutputFactory factory;
  {
    std::lock_guard lock(FactoryMutex());
    factory = Factory();
  }
  return factory ? factory() : nullptr;
}
