// The key queues with a real producer thread and a real consumer thread,
// as the window thread and the program thread use them: every value read
// was written, in the order written, none twice, and a full ring drops the
// oldest values only.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "input/key_rings.h"

namespace {

// Pushes 1..count from another thread while this one pops; returns what
// was popped.
template <uint32_t N>
std::vector<int32_t> race(kx::spsc_ring<int32_t, N>& ring, int32_t count, bool consumer_pauses) {
  std::atomic<bool> done{false};
  std::thread producer([&] {
    for (int32_t i = 1; i <= count; ++i) ring.push(i);
    done = true;
  });
  std::vector<int32_t> seen;
  int32_t v = 0;
  for (int spins = 0;; ++spins) {
    if (ring.pop(&v)) {
      seen.push_back(v);
    } else if (done.load()) {
      if (!ring.pop(&v)) break;
      seen.push_back(v);
    }
    if (consumer_pauses && spins % 64 == 0) std::this_thread::yield();
  }
  producer.join();
  return seen;
}

TEST(KeyRings, ValuesCrossThreadsInOrderWithoutRepeats) {
  auto ring = std::make_unique<kx::spsc_ring<int32_t, 8192>>();
  const auto seen = race(*ring, 200'000, false);
  ASSERT_FALSE(seen.empty());
  for (size_t i = 1; i < seen.size(); ++i) ASSERT_LT(seen[i - 1], seen[i]) << i;
  // Only the oldest values can go, and only while the ring was full, so
  // the newest value always arrives.
  EXPECT_EQ(seen.back(), 200'000);
}

TEST(KeyRings, ASmallRingThatOverflowsStillKeepsOrderAndTheNewestValues) {
  auto ring = std::make_unique<kx::spsc_ring<int32_t, 16>>();
  const auto seen = race(*ring, 100'000, true);
  ASSERT_FALSE(seen.empty());
  for (size_t i = 1; i < seen.size(); ++i) ASSERT_LT(seen[i - 1], seen[i]) << i;
  EXPECT_EQ(seen.back(), 100'000);
  EXPECT_TRUE(ring->empty());
}

TEST(KeyRings, ScanCodeQueueTakenWhileFilledStaysInRange) {
  // The port-60h queue written by one thread and read by INP on another:
  // its count never leaves 0-256 and every byte read is one that was
  // written.
  auto queue = std::make_unique<scancode_queue>();
  queue->reset();
  std::atomic<bool> done{false};
  std::thread producer([&] {
    for (int i = 0; i < 100'000; ++i) {
      queue->push_make(static_cast<uint8_t>(1 + i % 100));
      queue->push_break(static_cast<uint8_t>(1 + i % 100));
    }
    done = true;
  });
  bool in_range = true, known = true;
  while (!done.load()) {
    in_range = in_range && queue->count() <= 256;
    const uint8_t b = queue->take();
    const uint8_t make = b >= 128 ? static_cast<uint8_t>(b - 128) : b;
    known = known && ((make >= 1 && make <= 100) || b == 0x81);
  }
  producer.join();
  EXPECT_TRUE(in_range);
  EXPECT_TRUE(known);
}

}  // namespace
