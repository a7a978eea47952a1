#include "kit/SoundEncoder.h"

#include "common/Exception.h"

namespace {
std::shared_ptr<SoundEncoder>& Installed() {
  static std::shared_ptr<SoundEncoder> encoder;
  return encoder;
}
}  // namespace

void SetSoundEncoder(std::shared_ptr<SoundEncoder> encoder) {
  Installed() = std::move(encoder);
}

SoundEncoder& InstalledSoundEncoder() {
  if (!Installed()) throw Exception("This build of Korvanto can't write FLAC files");
  return *Installed();
}
