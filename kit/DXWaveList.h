#pragma once
// A kit bound to a sound device: every entry keeps one buffer loaded with its
// wave, and each Play sounds a fresh duplicate of it (sharing its bytes), so
// the same drum can overlap itself. Finished duplicates are freed by a 500 ms
// sweep on the UI thread.
#include <cstdint>
#include <memory>
#include <vector>

#include "common/UiThread.h"
#include "kit/DXSounds.h"
#include "kit/WaveCollection.h"

// The song's mix of one play: its level on top of the entry's Volume, in
// hundredths of a decibel.
struct VoiceMix {
  int32_t levelCentiDb = 0;
};

class TDXWaveList {
 public:
  explicit TDXWaveList(UiThread& ui);
  ~TDXWaveList();
  TDXWaveList(const TDXWaveList&) = delete;
  TDXWaveList& operator=(const TDXWaveList&) = delete;

  TWaveCollection Items;

  TDXSound* DXSound() const { return sound_; }
  // Binds to a device (or none); an initialised device loads the kit at once.
  void SetDXSound(TDXSound* sound);

  // Plays the entry once as a new duplicate with the entry's Pan and Volume;
  // the device's level meter of the entry's index counts it.
  // Does nothing while the device is not initialised. With wait, returns
  // when the sound has ended.
  void Play(TWaveCollectionItem& item, bool wait = false, VoiceMix mix = {});
  void Play(int index, bool wait = false) { Play(Items[index], wait); }

  // Whether the kit has a device to play on.
  bool Initialized() const { return device_ != nullptr; }
  // Loads every entry's buffer again, e.g. after the entries were replaced.
  void Restore();
  // Frees the duplicates that have finished.
  void Sweep();
  int PlayingCount() const { return static_cast<int>(playing_.size()); }

  static constexpr int SweepIntervalMs = 500;

 private:
  void DXSoundNotify(TDXSound& sender, TDXSoundNotifyType notice);
  void Initialize(TDirectSound& device);
  void Finalize();
  void RestoreItem(TWaveCollectionItem& item);
  void LoadWave(TWaveCollectionItem& item);
  std::unique_ptr<TDirectSoundBuffer> MakeDuplicate(TWaveCollectionItem& item, VoiceMix mix);

  UiThread& ui_;
  TDXSound* sound_ = nullptr;
  TDirectSound* device_ = nullptr;
  std::vector<std::unique_ptr<TDirectSoundBuffer>> playing_;
  std::unique_ptr<UiTimer> sweep_;
};
