#include "midi/MidiSendQueue.h"

#include <algorithm>
#include <chrono>

#include "kit/AudioThreadPriority.h"

int64_t MidiNowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

MidiSendQueue::MidiSendQueue(Send send) : send_(std::move(send)), thread_([this] { Run(); }) {}

MidiSendQueue::~MidiSendQueue() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void MidiSendQueue::SendAt(int64_t dueNs, std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > 3) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  Waiting message{dueNs, 0, {}, static_cast<uint8_t>(bytes.size())};
  std::copy(bytes.begin(), bytes.end(), message.bytes.begin());
  {
    const std::lock_guard lock(mutex_);
    if (waiting_.size() >= kMostWaiting) {
      dropped_.fetch_add(1, std::memory_order_relaxed);
      return;
    }
    message.order = order_++;
    waiting_.push(message);
  }
  changed_.notify_one();
}

void MidiSendQueue::DropWaiting() {
  const std::lock_guard lock(mutex_);
  dropped_.fetch_add(static_cast<int64_t>(waiting_.size()), std::memory_order_relaxed);
  waiting_ = {};
}

void MidiSendQueue::Run() {
  RaiseToAudioPriority();
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (waiting_.empty()) {
      changed_.wait(lock);
      continue;
    }
    const Waiting next = waiting_.top();
    const int64_t wakeNs = next.dueNs - kSpinNs;
    if (wakeNs > MidiNowNs()) {
      // An earlier message given meanwhile wakes the thread sooner.
      changed_.wait_until(lock,
                          std::chrono::steady_clock::time_point(std::chrono::nanoseconds(wakeNs)));
      continue;
    }
    waiting_.pop();
    lock.unlock();
    SendWhenDue(next);
    lock.lock();
  }
}

void MidiSendQueue::SendWhenDue(const Waiting& message) {
  while (MidiNowNs() < message.dueNs) {
  }
  const int64_t late = message.dueNs > 0 ? MidiNowNs() - message.dueNs : 0;
  try {
    send_(std::span<const uint8_t>(message.bytes.data(), message.size));
  } catch (...) {
    // A port that went away: the message is lost, the thread goes on.
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  sent_.fetch_add(1, std::memory_order_relaxed);
  if (late > mostLateNs_.load(std::memory_order_relaxed))
    mostLateNs_.store(late, std::memory_order_relaxed);
}
