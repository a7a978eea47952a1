#include "song/KitPlaybackSound.h"

#include "kit/DXSounds.h"
#include "kit/InstrumentPlay.h"
#include "kit/PlayTime.h"

void KitPlaybackSound::TriggerCell(const std::string& text, std::optional<Clock::time_point> at) {
  const InstrumentSound sound = ResolveForPlayback(instruments_, text);
  if (sound.kind == InstrumentSound::Kind::Silent) return;
  std::optional<playtime::Scope> stamp;
  if (at && stampSteps_) stamp.emplace(*at);
  PlayInstrument(sound, kit_, slots_, true);
}

void KitPlaybackSound::StopSlot(int slot) {
  if (slots_) slots_->StopSlot(slot);
}

void KitPlaybackSound::SetPrimaryFormat(const std::vector<uint8_t>& format) {
  if (TDirectSoundBuffer* primary = device_.Primary()) primary->SetFormat(format);
}

double KitPlaybackSound::DevicePace() const {
  TDirectSound* device = device_.DSound();
  return device ? device->mixer().Pace() : 1.0;
}
