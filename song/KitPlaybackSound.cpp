#include "song/KitPlaybackSound.h"

#include <algorithm>
#include <cstring>

#include "kit/DXClass.h"
#include "kit/DXSounds.h"
#include "kit/InstrumentPlay.h"
#include "kit/MetronomeClick.h"
#include "kit/Mixer.h"
#include "kit/PlayTime.h"
#include "kit/Wave.h"
#include "song/MixRule.h"

KitPlaybackSound::KitPlaybackSound(const InstrumentTable& instruments, TDXWaveList& kit,
                                   TDXSound& device)
    : instruments_(instruments), kit_(kit), device_(device) {
  device_.RegisterNotifyEvent(this, [this](TDXSound&, TDXSoundNotifyType notice) {
    if (notice == TDXSoundNotifyType::dsntFinalize || notice == TDXSoundNotifyType::dsntRestore)
      clicks_ = {};
  });
}

KitPlaybackSound::~KitPlaybackSound() {
  device_.UnRegisterNotifyEvent(this);
}

void KitPlaybackSound::TriggerCell(const std::string& text, std::optional<StepPlace> at) {
  InstrumentSound sound = ResolveForPlayback(instruments_, text);
  if (at && sound.kind == InstrumentSound::Kind::KitEntry)
    sound.volume = std::max(DSBVOLUME_MIN, sound.volume - 10 * at->quieterTenthDb);
  if (sound.kind == InstrumentSound::Kind::Silent) return;
  const std::optional<VoiceMix> mixed = MixOf(sound);
  if (!mixed) return;  // muted, or another instrument is soloed
  std::optional<playtime::Scope> stamp;
  // Plays through the kit's device keep the step's frame; the sample
  // editor's slots play through an output of their own, placed by the moment.
  if (at && stampSteps_)
    stamp.emplace(
        playtime::Moment{at->at, DeviceMixer(), at->frame, at->afterDue, at->transportFrame});
  PlayInstrument(sound, kit_, slots_, true, *mixed);
}

std::optional<VoiceMix> KitPlaybackSound::MixOf(const InstrumentSound& sound) const {
  VoiceMix hit;
  if (sound.kind != InstrumentSound::Kind::KitEntry || !mix_) return hit;
  const MixVerdict verdict = MixVerdictOf(*mix_, InstrumentName(sound.entryName));
  if (!verdict.sounds) return std::nullopt;
  hit.levelCentiDb = verdict.levelCentiDb;
  return hit;
}

void KitPlaybackSound::Click(bool accent, const StepPlace& at) {
  TDirectSoundBuffer* click = ClickBuffer(accent);
  if (!click) return;
  std::optional<playtime::Scope> stamp;
  if (stampSteps_)
    stamp.emplace(playtime::Moment{at.at, DeviceMixer(), at.frame, 0, at.transportFrame});
  click->Stop();
  click->SetPosition(0);
  click->Play();
}

TDirectSoundBuffer* KitPlaybackSound::ClickBuffer(bool accent) {
  std::unique_ptr<TDirectSoundBuffer>& click = clicks_[accent ? 1 : 0];
  if (click) return click.get();
  TDirectSound* device = device_.DSound();
  const Mixer* mixer = DeviceMixer();
  if (!device || !mixer) return nullptr;
  const std::vector<int16_t> samples = MetronomeClick(mixer->Rate(), accent);
  auto made = std::make_unique<TDirectSoundBuffer>(*device);
  const TDSBufferDesc desc{DSBCAPS_CTRLVOLUME | device->FocusFlags(),
                           static_cast<uint32_t>(samples.size() * 2),
                           Wave::MakePcmFormat(static_cast<uint32_t>(mixer->Rate()), 16, 2)};
  TLockRegions regions;
  if (!made->CreateBuffer(desc) || !made->Lock(0, desc.dwBufferBytes, regions)) return nullptr;
  std::memcpy(regions.ptr1, samples.data(), desc.dwBufferBytes);
  made->Unlock(regions);
  click = std::move(made);
  return click.get();
}

void KitPlaybackSound::StopSlot(int slot) {
  if (slots_) slots_->StopSlot(slot);
}

void KitPlaybackSound::SetPrimaryFormat(const std::vector<uint8_t>& format) {
  if (TDirectSoundBuffer* primary = device_.Primary()) primary->SetFormat(format);
}

Mixer* KitPlaybackSound::DeviceMixer() const {
  TDirectSound* device = device_.DSound();
  return device ? &device->mixer() : nullptr;
}

int KitPlaybackSound::FrameRate() const {
  const Mixer* mixer = DeviceMixer();
  return mixer ? mixer->Rate() : PlaybackSound::FrameRate();
}

std::optional<int64_t> KitPlaybackSound::FrameForCall(Clock::time_point call) const {
  const Mixer* mixer = DeviceMixer();
  if (!mixer || !stampSteps_) return std::nullopt;
  // An output that does not follow the clock plays the next block it renders.
  if (!mixer->Stamped()) return mixer->FramesRendered();
  return mixer->FrameForCall(call);
}

std::optional<KitPlaybackSound::Clock::time_point> KitPlaybackSound::CallTimeFor(
    int64_t frame) const {
  const Mixer* mixer = DeviceMixer();
  return mixer ? mixer->CallTimeFor(frame) : std::nullopt;
}

std::optional<int64_t> KitPlaybackSound::EarliestFrame() const {
  const Mixer* mixer = DeviceMixer();
  if (!mixer) return std::nullopt;
  // A block may be rendering now, past the queue already: the one after it.
  return mixer->FramesRendered() + (mixer->Stamped() ? mixer->PeriodFrames() : 0);
}

std::optional<int64_t> KitPlaybackSound::HeardFrame(Clock::time_point now) const {
  const Mixer* mixer = DeviceMixer();
  if (!mixer || !stampSteps_) return std::nullopt;
  // An output that does not follow the clock is heard as it renders.
  if (!mixer->Stamped()) return mixer->FramesRendered() - 1;
  // The frame a play made now is placed at, less the latency it waits.
  return mixer->FrameForCall(now - mixer->TriggerLatency());
}

int64_t KitPlaybackSound::SoundFrame(const StepPlace& place) const {
  const Mixer* mixer = DeviceMixer();
  // An output that does not follow the clock starts a play with its next block.
  if (mixer && stampSteps_ && !mixer->Stamped()) return mixer->FramesRendered();
  return place.frame;
}

KitPlaybackSound::Clock::time_point KitPlaybackSound::SoundTime(const StepPlace& place) const {
  const Mixer* mixer = DeviceMixer();
  if (!mixer || !stampSteps_ || !mixer->Stamped()) return PlaybackSound::SoundTime(place);
  // A play kept at its frame is heard when the output reaches that frame.
  if (place.frame >= 0)
    if (const auto call = mixer->CallTimeFor(place.frame)) return *call + mixer->TriggerLatency();
  return PlaybackSound::SoundTime(place) + mixer->TriggerLatency();
}
