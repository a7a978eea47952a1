#pragma once
// The UI thread's side of the mixer's voice slots: hands out slots to playing
// buffers, takes back the slots of voices that ended, and keeps sample bytes
// alive until the mixer can no longer read them.
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "kit/Mixer.h"

class TDirectSoundBuffer;

class VoicePool {
 public:
  explicit VoicePool(Mixer& mixer);

  // A slot for owner with a new generation; -1 when every slot plays.
  int Acquire(TDirectSoundBuffer* owner, std::shared_ptr<const void> keepAlive);
  // Stops the slot's voice and frees the slot.
  void Release(int slot);
  // Starts a new generation of the slot (its cursor moves).
  uint32_t Renew(int slot) { return ++generation_[slot]; }
  uint32_t Generation(int slot) const { return generation_[slot]; }
  bool Send(const MixerCommand& command) { return mixer_.Send(command); }
  Mixer& mixer() { return mixer_; }

 private:
  struct Retired {
    uint64_t after;  // freed once the mixer consumed this many commands
    std::shared_ptr<const void> bytes;
  };
  void ReclaimEnded();
  void DropRetired();
  void SendPendingStops();

  Mixer& mixer_;
  std::vector<uint32_t> generation_;
  std::vector<TDirectSoundBuffer*> owner_;
  std::vector<std::shared_ptr<const void>> keepAlive_;
  std::vector<int> free_;
  std::vector<int> pendingStops_;  // stops that found the queue full
  std::deque<Retired> retired_;
};
