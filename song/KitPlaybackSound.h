#pragma once
// The playback engine's sound on the main window's kit, instrument chooser
// and device, and the sample editor's slots.
#include <array>
#include <memory>

#include "kit/DXWaveList.h"
#include "kit/InstrumentTable.h"
#include "song/PlaybackSound.h"
#include "song/SongSettings.h"

class Mixer;
class SlotPlayer;
class TDXSound;
class TDirectSoundBuffer;

class KitPlaybackSound : public PlaybackSound {
 public:
  // All three must outlive this object.
  KitPlaybackSound(const InstrumentTable& instruments, TDXWaveList& kit, TDXSound& device);
  ~KitPlaybackSound() override;
  KitPlaybackSound(const KitPlaybackSound&) = delete;
  KitPlaybackSound& operator=(const KitPlaybackSound&) = delete;

  // The sample editor's slots, once it exists; without them slot cells are silent.
  void SetSlotPlayer(SlotPlayer* slots) { slots_ = slots; }
  // Whether plays carry the step's moment (on by default; off for comparison).
  void SetStampSteps(bool stamp) { stampSteps_ = stamp; }
  // The song's level, mute and solo per kit instrument, read at every hit;
  // none: every instrument as it is. Must outlive this object.
  void SetMix(const KitMix* mix) { mix_ = mix; }

  // The volume digit sets the entry's Volume (-500 per level); "Sample<n>"
  // restarts slot n.
  void TriggerCell(const std::string& text, std::optional<StepPlace> at) override;
  void StopSlot(int slot) override;
  void Click(bool accent, const StepPlace& at) override;
  void SetPrimaryFormat(const std::vector<uint8_t>& format) override;
  int FrameRate() const override;
  std::optional<int64_t> FrameForCall(Clock::time_point call) const override;
  std::optional<Clock::time_point> CallTimeFor(int64_t frame) const override;
  std::optional<int64_t> EarliestFrame() const override;
  std::optional<int64_t> HeardFrame(Clock::time_point now) const override;
  int64_t SoundFrame(const StepPlace& place) const override;
  Clock::time_point SoundTime(const StepPlace& place) const override;

 private:
  Mixer* DeviceMixer() const;
  // The click made on the device now open; null when it cannot be made.
  TDirectSoundBuffer* ClickBuffer(bool accent);
  // The play's level and meter; nothing when the mix silences it.
  std::optional<VoiceMix> MixOf(const InstrumentSound& sound) const;

  const InstrumentTable& instruments_;
  TDXWaveList& kit_;
  TDXSound& device_;
  SlotPlayer* slots_ = nullptr;
  bool stampSteps_ = true;
  const KitMix* mix_ = nullptr;
  // The metronome's clicks (beat, accent), made on first use and dropped
  // before the device closes or restores.
  std::array<std::unique_ptr<TDirectSoundBuffer>, 2> clicks_;
};
