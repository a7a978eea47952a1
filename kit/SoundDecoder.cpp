#include "kit/SoundDecoder.h"

namespace {
std::shared_ptr<SoundDecoder>& Installed() {
  static std::shared_ptr<SoundDecoder> decoder;
  return decoder;
}
}  // namespace

void SetSoundDecoder(std::shared_ptr<SoundDecoder> decoder) {
  Installed() = std::move(decoder);
}

std::shared_ptr<SoundDecoder> InstalledSoundDecoder() {
  return Installed();
}
