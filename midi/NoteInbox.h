#pragma once
// Notes that arrive at midi_in, on their way to the UI thread that sounds and
// records them: the input thread keeps the note-ons of the chosen channel in
// a lock-free queue and wakes the UI thread; it never blocks or allocates. A
// note-off sounds nothing (drum hits play out), so no note can hang.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "kit/SpscQueue.h"
#include "midi/MidiControlMap.h"
#include "midi/MidiEvent.h"

struct NoteHeard {
  int64_t timeNs = 0;   // steady clock, when it arrived
  uint8_t channel = 0;  // 1..16
  uint8_t note = 0;
  uint8_t velocity = 0;
};

class NoteInbox : public MidiListener {
 public:
  static constexpr size_t kCapacity = 4096;

  // wake: called on the input thread when notes wait and none were waiting.
  explicit NoteInbox(std::function<void()> wake) : wake_(std::move(wake)) {}

  // 0: every channel, else 1..16.
  void SetChannel(int channel) { channel_.store(channel, std::memory_order_relaxed); }
  int Channel() const { return channel_.load(std::memory_order_relaxed); }
  // Notes learned to run an action (Play, Stop, ...) only run it: they
  // neither sound nor record. Any thread.
  void SetControlNotes(const MidiControlMap& controls);

  // ---- input thread ----
  void Heard(const MidiEvent& event) override;

  // ---- UI thread ----
  // Hands every waiting note to take, oldest first.
  template <class Take>
  int Drain(Take&& take) {
    waiting_.store(false, std::memory_order_release);
    int taken = 0;
    NoteHeard note;
    while (queue_.TryPop(note)) {
      take(note);
      ++taken;
    }
    return taken;
  }
  // Notes dropped because the UI thread fell this far behind.
  int64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

 private:
  std::function<void()> wake_;
  SpscQueue<NoteHeard> queue_{kCapacity};
  std::atomic<int> channel_{0};
  std::array<std::atomic<uint16_t>, 128> controlChannels_{};  // a bit per channel, by note
  std::atomic<bool> waiting_{false};
  std::atomic<int64_t> dropped_{0};
};
