#include "kit/VoicePool.h"

#include "kit/DXClass.h"
#include "kit/SoundTrouble.h"

VoicePool::VoicePool(Mixer& mixer)
    : mixer_(mixer),
      generation_(mixer.Slots(), 0),
      owner_(mixer.Slots(), nullptr),
      keepAlive_(mixer.Slots()),
      acquiredAt_(mixer.Slots(), 0) {
  for (int slot = mixer.Slots() - 1; slot >= 0; --slot) free_.push_back(slot);
}

int VoicePool::Acquire(TDirectSoundBuffer* owner, std::shared_ptr<const void> keepAlive) {
  SendPendingStops();
  DropRetired();
  if (free_.empty()) ReclaimEnded();
  int slot = -1;
  if (!free_.empty()) {
    slot = free_.back();
    free_.pop_back();
  } else {
    slot = Steal();
    if (slot < 0) return -1;
  }
  owner_[slot] = owner;
  keepAlive_[slot] = std::move(keepAlive);
  acquiredAt_[slot] = ++acquisitions_;
  ++generation_[slot];
  return slot;
}

void VoicePool::Release(int slot) {
  MixerCommand stop;
  stop.op = MixerOp::Stop;
  stop.slot = static_cast<uint16_t>(slot);
  owner_[slot] = nullptr;
  if (!mixer_.Send(stop)) {
    pendingStops_.push_back(slot);  // the slot stays taken until its stop is sent
    return;
  }
  retired_.push_back({mixer_.Sent(), std::move(keepAlive_[slot])});
  free_.push_back(slot);
}

// The stolen voice's buffer lets go of it; its bytes stay alive through the fade.
int VoicePool::Steal() {
  const int slot = Oldest();
  if (slot < 0) return -1;
  MixerCommand steal;
  steal.op = MixerOp::Steal;
  steal.slot = static_cast<uint16_t>(slot);
  if (!mixer_.Send(steal)) return -1;
  if (TDirectSoundBuffer* owner = owner_[slot]) owner->VoiceStolen();
  retired_.push_back({mixer_.Sent(), std::move(keepAlive_[slot]), true});
  ++steals_;
  soundtrouble::AddSteal();
  return slot;
}

int VoicePool::Oldest() const {
  int oldest = -1, oldestLooping = -1;
  for (int slot = 0; slot < static_cast<int>(owner_.size()); ++slot) {
    const TDirectSoundBuffer* owner = owner_[slot];
    if (!owner) continue;  // a stop still waiting for room in the queue
    int& best = owner->looping_ ? oldestLooping : oldest;
    if (best < 0 || acquiredAt_[slot] < acquiredAt_[best]) best = slot;
  }
  return oldest >= 0 ? oldest : oldestLooping;
}

void VoicePool::CountDropped() {
  ++dropped_;
  soundtrouble::AddDropped();
}

void VoicePool::SendPendingStops() {
  std::vector<int> pending;
  pending.swap(pendingStops_);
  for (int slot : pending) Release(slot);
}

bool VoicePool::Retiring(const void* bytes) {
  DropRetired();
  for (const Retired& r : retired_)
    if (r.bytes.get() == bytes) return true;
  return false;
}

void VoicePool::DropRetired() {
  const uint64_t consumed = mixer_.Consumed();
  while (!retired_.empty() && Done(retired_.front(), consumed)) retired_.pop_front();
}

bool VoicePool::Done(Retired& retired, uint64_t consumed) {
  if (retired.after > consumed) return false;
  if (!retired.fading) return true;
  // The fade began in a block that started no later than the frames rendered now.
  if (retired.untilFrame < 0) retired.untilFrame = mixer_.FramesRendered() + mixer_.FadeFrames();
  return mixer_.FramesRendered() >= retired.untilFrame;
}

void VoicePool::ReclaimEnded() {
  for (int slot = 0; slot < static_cast<int>(owner_.size()); ++slot) {
    TDirectSoundBuffer* owner = owner_[slot];
    if (!owner) continue;
    const VoiceReport report = mixer_.Report(slot);
    if (report.generation == generation_[slot] && !report.playing) owner->VoiceEnded();
  }
}
