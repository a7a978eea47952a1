#pragma once
// A fixed-size lock-free queue from one producer thread to one consumer
// thread. Neither side ever blocks or allocates after construction.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

template <class T>
class SpscQueue {
 public:
  explicit SpscQueue(size_t capacityPowerOfTwo)
      : mask_(capacityPowerOfTwo - 1), items_(std::make_unique<T[]>(capacityPowerOfTwo)) {}

  // Producer side.
  bool TryPush(const T& item) {
    const uint64_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) > mask_) return false;
    items_[tail & mask_] = item;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }
  // How many items were ever pushed.
  uint64_t Pushed() const { return tail_.load(std::memory_order_relaxed); }
  // How many items the consumer has finished with.
  uint64_t Consumed() const { return head_.load(std::memory_order_acquire); }

  // Consumer side.
  bool TryPop(T& item) {
    const uint64_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    item = items_[head & mask_];
    head_.store(head + 1, std::memory_order_release);
    return true;
  }

 private:
  const uint64_t mask_;
  std::unique_ptr<T[]> items_;
  alignas(64) std::atomic<uint64_t> head_{0};
  alignas(64) std::atomic<uint64_t> tail_{0};
};
