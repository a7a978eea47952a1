#include "kit/VoicePool.h"

#include "kit/DXClass.h"

VoicePool::VoicePool(Mixer& mixer)
    : mixer_(mixer),
      generation_(mixer.Slots(), 0),
      owner_(mixer.Slots(), nullptr),
      keepAlive_(mixer.Slots()) {
  for (int slot = mixer.Slots() - 1; slot >= 0; --slot) free_.push_back(slot);
}

int VoicePool::Acquire(TDirectSoundBuffer* owner, std::shared_ptr<const void> keepAlive) {
  SendPendingStops();
  DropRetired();
  if (free_.empty()) ReclaimEnded();
  if (free_.empty()) return -1;
  const int slot = free_.back();
  free_.pop_back();
  owner_[slot] = owner;
  keepAlive_[slot] = std::move(keepAlive);
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

void VoicePool::SendPendingStops() {
  std::vector<int> pending;
  pending.swap(pendingStops_);
  for (int slot : pending) Release(slot);
}

void VoicePool::DropRetired() {
  const uint64_t consumed = mixer_.Consumed();
  while (!retired_.empty() && retired_.front().after <= consumed) retired_.pop_front();
}

void VoicePool::ReclaimEnded() {
  for (int slot = 0; slot < static_cast<int>(owner_.size()); ++slot) {
    TDirectSoundBuffer* owner = owner_[slot];
    if (!owner) continue;
    const VoiceReport report = mixer_.Report(slot);
    if (report.generation == generation_[slot] && !report.playing) owner->VoiceEnded();
  }
}
