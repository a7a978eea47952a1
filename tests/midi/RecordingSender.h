#pragma once
// A midi_out stand-in for tests: keeps every message with its due time.
#include <cstdint>
#include <mutex>
#include <vector>

#include "midi/MidiEvent.h"

class RecordingSender : public MidiSender {
 public:
  struct Sent {
    int64_t dueNs = 0;
    std::vector<uint8_t> bytes;
  };

  void SendAt(int64_t dueNs, std::span<const uint8_t> bytes) override {
    std::lock_guard lock(mutex_);
    sent_.push_back({dueNs, {bytes.begin(), bytes.end()}});
  }
  std::vector<Sent> All() const {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  // The messages whose first byte is status.
  std::vector<Sent> WithStatus(uint8_t status) const {
    std::vector<Sent> found;
    for (const Sent& s : All())
      if (!s.bytes.empty() && s.bytes[0] == status) found.push_back(s);
    return found;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    sent_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Sent> sent_;
};
