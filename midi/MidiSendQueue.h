#pragma once
// midi_out's timing: messages wait on a thread of their own until they are
// due, and leave then. The thread sleeps until shortly before the due time
// and spins the rest, so a message leaves well within a millisecond of it.
// Messages due at the same time leave in the order they were given.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <queue>
#include <span>
#include <thread>
#include <vector>

#include "midi/MidiEvent.h"

class MidiSendQueue : public MidiSender {
 public:
  // Puts the bytes on the wire; called on the sending thread only.
  using Send = std::function<void(std::span<const uint8_t> bytes)>;
  // The most messages waiting at once; more are dropped and counted.
  static constexpr size_t kMostWaiting = 1 << 16;
  static constexpr int64_t kSpinNs = 300'000;

  explicit MidiSendQueue(Send send);
  ~MidiSendQueue() override;
  MidiSendQueue(const MidiSendQueue&) = delete;
  MidiSendQueue& operator=(const MidiSendQueue&) = delete;

  // Any thread. dueNs on the steady clock; 0 or a time passed: at once.
  // Messages of 1 to 3 bytes; others are dropped and counted.
  void SendAt(int64_t dueNs, std::span<const uint8_t> bytes) override;
  // Messages not yet sent are dropped (all notes off must be sent after this).
  void DropWaiting();

  int64_t Sent() const { return sent_.load(std::memory_order_relaxed); }
  int64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }
  // The latest any message left after its due time, in ns.
  int64_t MostLateNs() const { return mostLateNs_.load(std::memory_order_relaxed); }

 private:
  struct Waiting {
    int64_t dueNs;
    uint64_t order;
    std::array<uint8_t, 3> bytes;
    uint8_t size;
    bool operator>(const Waiting& other) const {
      return dueNs != other.dueNs ? dueNs > other.dueNs : order > other.order;
    }
  };
  void Run();
  void SendWhenDue(const Waiting& message);

  Send send_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::priority_queue<Waiting, std::vector<Waiting>, std::greater<Waiting>> waiting_;
  uint64_t order_ = 0;
  bool stopping_ = false;
  std::atomic<int64_t> sent_{0}, dropped_{0}, mostLateNs_{0};
  std::thread thread_;  // last: starts once everything it uses exists
};

// Nanoseconds of the steady clock now, as MidiEvent times are counted.
int64_t MidiNowNs();
