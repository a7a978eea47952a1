#pragma once
// The UI thread's side of the mixer's voice slots: hands out slots to playing
// buffers, takes back the slots of voices that ended, steals the oldest voice
// when every slot plays, and keeps sample bytes alive until the mixer can no
// longer read them.
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "kit/Mixer.h"

class TDirectSoundBuffer;

class VoicePool {
 public:
  explicit VoicePool(Mixer& mixer);

  // A slot for owner with a new generation. When every slot plays, the
  // oldest voice (one that does not loop, if there is one) fades out and its
  // slot is taken. -1 only when the mixer's queue is full.
  int Acquire(TDirectSoundBuffer* owner, std::shared_ptr<const void> keepAlive);
  // Stops the slot's voice and frees the slot.
  void Release(int slot);
  // Starts a new generation of the slot (its cursor moves).
  uint32_t Renew(int slot) { return ++generation_[slot]; }
  uint32_t Generation(int slot) const { return generation_[slot]; }
  bool Send(const MixerCommand& command) { return mixer_.Send(command); }
  Mixer& mixer() { return mixer_; }
  // Whether the mixer may still read these bytes for a voice that was let go.
  bool Retiring(const void* bytes);

  // Voices taken from an older sound, and plays that found no slot.
  int64_t Steals() const { return steals_; }
  int64_t Dropped() const { return dropped_; }
  void CountDropped();

 private:
  struct Retired {
    uint64_t after;  // freed once the mixer consumed this many commands
    std::shared_ptr<const void> bytes;
    bool fading = false;  // then also once the fade-out has been rendered
    int64_t untilFrame = -1;
  };
  void ReclaimEnded();
  void DropRetired();
  bool Done(Retired& retired, uint64_t consumed);
  void SendPendingStops();
  int Steal();
  int Oldest() const;

  Mixer& mixer_;
  std::vector<uint32_t> generation_;
  std::vector<TDirectSoundBuffer*> owner_;
  std::vector<std::shared_ptr<const void>> keepAlive_;
  std::vector<uint64_t> acquiredAt_;
  uint64_t acquisitions_ = 0;
  std::vector<int> free_;
  std::vector<int> pendingStops_;  // stops that found the queue full
  std::deque<Retired> retired_;
  int64_t steals_ = 0;
  int64_t dropped_ = 0;
};
