#include "song/Playhead.h"

void PlayheadRecord::Publish(const PlayheadMark& mark) {
  const uint64_t index = published_.load(std::memory_order_relaxed);
  Slot& slot = slots_[index % kMarks];
  const uint64_t sequence = slot.sequence.load(std::memory_order_relaxed);
  slot.sequence.store(sequence + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  slot.kind.store(static_cast<int>(mark.kind), std::memory_order_relaxed);
  slot.where.store(mark.where, std::memory_order_relaxed);
  slot.frame.store(mark.frame, std::memory_order_relaxed);
  slot.momentNs.store(mark.momentNs, std::memory_order_relaxed);
  slot.sequence.store(sequence + 2, std::memory_order_release);
  published_.store(index + 1, std::memory_order_release);
}

std::optional<PlayheadMark> PlayheadRecord::Read(const Slot& slot) const {
  const uint64_t before = slot.sequence.load(std::memory_order_acquire);
  if (before & 1) return std::nullopt;
  PlayheadMark mark;
  mark.kind = static_cast<PlayheadMark::Kind>(slot.kind.load(std::memory_order_relaxed));
  mark.where = slot.where.load(std::memory_order_relaxed);
  mark.frame = slot.frame.load(std::memory_order_relaxed);
  mark.momentNs = slot.momentNs.load(std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_acquire);
  if (slot.sequence.load(std::memory_order_relaxed) != before) return std::nullopt;
  return mark;
}

bool PlayheadRecord::HasCome(const PlayheadMark& mark, std::optional<int64_t> heardFrame,
                             int64_t nowNs) {
  if (mark.frame >= 0 && heardFrame) return mark.frame <= *heardFrame;
  return mark.momentNs <= nowNs;
}

std::optional<PlayheadMark> PlayheadRecord::Sounding(std::optional<int64_t> heardFrame,
                                                     Clock::time_point now) const {
  const int64_t nowNs = PlayheadMoment(now);
  const uint64_t published = published_.load(std::memory_order_acquire);
  // Newest first; a slot rewritten while read is a mark too new to matter.
  const uint64_t oldest = published > kMarks ? published - kMarks : 0;
  for (uint64_t index = published; index > oldest; --index) {
    const auto mark = Read(slots_[(index - 1) % kMarks]);
    if (!mark || !HasCome(*mark, heardFrame, nowNs)) continue;
    if (mark->kind == PlayheadMark::Kind::None) return std::nullopt;
    return mark;
  }
  return std::nullopt;
}

bool PlayheadRecord::Finished(std::optional<int64_t> heardFrame, Clock::time_point now) const {
  const uint64_t published = published_.load(std::memory_order_acquire);
  if (published == 0) return true;
  const auto mark = Read(slots_[(published - 1) % kMarks]);
  return mark && mark->kind == PlayheadMark::Kind::None &&
         HasCome(*mark, heardFrame, PlayheadMoment(now));
}
