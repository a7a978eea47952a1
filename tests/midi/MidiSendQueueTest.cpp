#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "midi/MidiSendQueue.h"

namespace {
struct Sent {
  int64_t atNs;
  std::vector<uint8_t> bytes;
};

class SendQueueTest : public ::testing::Test {
 protected:
  std::vector<Sent> Wait(size_t count) {
    for (int i = 0; i < 2000; ++i) {
      {
        const std::lock_guard lock(mutex);
        if (sent.size() >= count) return sent;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::lock_guard lock(mutex);
    return sent;
  }
  std::mutex mutex;
  std::vector<Sent> sent;
  MidiSendQueue queue{[this](std::span<const uint8_t> bytes) {
    const std::lock_guard lock(mutex);
    sent.push_back({MidiNowNs(), {bytes.begin(), bytes.end()}});
  }};
};

TEST_F(SendQueueTest, LeavesAtItsDueTimeNotBefore) {
  const int64_t start = MidiNowNs();
  const uint8_t late[] = {0x99, 38, 90};
  const uint8_t early[] = {0x99, 36, 100};
  queue.SendAt(start + 40'000'000, late);
  queue.SendAt(start + 20'000'000, early);
  const auto got = Wait(2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].bytes, (std::vector<uint8_t>{0x99, 36, 100}));
  EXPECT_GE(got[0].atNs, start + 20'000'000);
  EXPECT_EQ(got[1].bytes, (std::vector<uint8_t>{0x99, 38, 90}));
  EXPECT_GE(got[1].atNs, start + 40'000'000);
}

TEST_F(SendQueueTest, SameDueTimeKeepsTheOrderGiven) {
  const int64_t due = MidiNowNs() + 5'000'000;
  for (uint8_t i = 0; i < 50; ++i) {
    const uint8_t bytes[] = {0x99, i, 1};
    queue.SendAt(due, bytes);
  }
  const auto got = Wait(50);
  ASSERT_EQ(got.size(), 50u);
  for (uint8_t i = 0; i < 50; ++i) EXPECT_EQ(got[i].bytes[1], i);
}

TEST_F(SendQueueTest, ZeroIsAtOnceAndBadLengthsAreDropped) {
  const uint8_t stop[] = {0xFC};
  const std::vector<uint8_t> tooLong(4, 0x90);
  queue.SendAt(0, stop);
  queue.SendAt(0, tooLong);
  queue.SendAt(0, std::span<const uint8_t>());
  EXPECT_EQ(Wait(1).size(), 1u);
  EXPECT_EQ(queue.Dropped(), 2);
}

TEST_F(SendQueueTest, DropWaitingForgetsWhatIsNotDue) {
  const uint8_t bytes[] = {0x99, 36, 1};
  queue.SendAt(MidiNowNs() + 10'000'000'000, bytes);
  queue.DropWaiting();
  queue.SendAt(0, bytes);
  EXPECT_EQ(Wait(1).size(), 1u);
  EXPECT_EQ(queue.Dropped(), 1);
}
}  // namespace
