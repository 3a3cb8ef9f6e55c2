#pragma once
// The queues between the window thread, which produces key events, and the
// program thread, which reads them. Each queue has one writer of its write
// index and one writer of its read index, and a slot is filled before the
// write index moves, so no lock is needed; the one shared write is the drop
// of the oldest entry when a queue is full, done by compare-and-swap.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kx {

// A ring of size N holding at most N - 1 values. When full, a push drops the
// oldest value.
template <typename T, uint32_t N>
class spsc_ring {
 public:
  // Producer side.
  void push(T value) {
    const uint32_t write = write_.load(std::memory_order_relaxed);
    const uint32_t next = (write + 1) % N;
    uint32_t read = read_.load(std::memory_order_acquire);
    // Full: drop the oldest, unless the reader has just taken it.
    while (next == read && !read_.compare_exchange_weak(read, (read + 1) % N, std::memory_order_acq_rel)) {
    }
    slots_[write].store(value, std::memory_order_relaxed);
    write_.store(next, std::memory_order_release);
  }
  // Consumer side: false when empty.
  bool pop(T* value) {
    uint32_t read = read_.load(std::memory_order_relaxed);
    for (;;) {
      if (read == write_.load(std::memory_order_acquire)) return false;
      const T v = slots_[read].load(std::memory_order_relaxed);
      // The producer may have dropped this entry meanwhile; then retry.
      if (read_.compare_exchange_weak(read, (read + 1) % N, std::memory_order_acq_rel)) {
        *value = v;
        return true;
      }
    }
  }
  bool empty() const { return read_.load() == write_.load(); }
  uint32_t size() const { return (write_.load() + N - read_.load()) % N; }
  // Empties the ring (the program's _KEYCLEAR); an event in flight may
  // survive or be lost.
  void clear() { read_.store(write_.load()); }
  void reset() {
    read_ = 0;
    write_ = 0;
  }

 private:
  std::array<std::atomic<T>, N> slots_{};
  std::atomic<uint32_t> read_{0};
  std::atomic<uint32_t> write_{0};
};

}  // namespace kx

// _KEYHIT's ring: presses as positive codes, releases negated; 8,191 fit.
inline constexpr uint32_t keyhit_size = 8192;
extern kx::spsc_ring<int32_t, keyhit_size> keyhit;

// The port-60h scan-code queue: make codes, and break codes (+128). Holds
// 256 bytes; INP(&H60) takes the oldest, and with the queue empty reads the
// last byte taken again (129 before the first key).
class scancode_queue {
 public:
  void push_make(uint8_t code);
  void push_break(uint8_t code);
  uint8_t take();  // program thread
  void clear();    // program thread (_KEYCLEAR 3)
  void reset();    // start-up
  uint32_t count() const { return ring_.size(); }

 private:
  void push(uint8_t code);
  kx::spsc_ring<uint8_t, 257> ring_;
  std::atomic<uint8_t> last_pushed_{0};
  std::atomic<bool> any_pushed_{false};
  uint8_t front_ = 0x81;  // program thread
};
extern scancode_queue port60h;

// The held-key set, in the order the keys went down. Written by the window
// thread, read by the program thread, guarded by a short lock.
class held_keys {
 public:
  void add(uint32_t code);
  void remove(uint32_t code);
  bool contains(uint32_t code) const;
  // Adds the code when absent, removes it when present.
  void toggle(uint32_t code);
  std::vector<uint32_t> snapshot() const;
  void clear();

 private:
  mutable std::mutex lock_;
  std::vector<uint32_t> codes_;
};
extern held_keys keyheld_buffer;
