#pragma once
// The ON KEY and ON STRIG tables as their sources see them. The keyboard (on
// the window thread) and the controllers match presses against the entries
// and raise their pending counts; the program thread sets the entries up and
// the trap dispatcher runs their handlers (frame/traps.h).
#include <array>
#include <atomic>
#include <cstdint>

struct kxs;

// An entry's state byte.
inline constexpr uint8_t trap_off = 0;
inline constexpr uint8_t trap_on = 1;
inline constexpr uint8_t trap_stop = 2;  // events are counted but not run

// Set up by the program thread; the keyboard layer on the window thread
// reads the key fields, the state and the handler id, and raises pending.
struct onkey_entry {
  std::atomic<int32_t> id{0};  // handler id, 0 = none
  int64_t arg = 0;
  std::atomic<uint8_t> state{trap_off};
  std::atomic<uint8_t> pending{0};  // presses not yet handled
  std::atomic<int32_t> keycode{0};
  std::atomic<int32_t> keycode_alternate{0};
  std::atomic<uint8_t> scancode{0};  // user-defined keys: scan code to match
  std::atomic<uint8_t> keyscan{0};   // user-defined keys: shift flags
  kxs* text = nullptr;  // soft-key text (program thread)
  // The soft-key text's bytes as the window thread expands them, kept
  // current by whoever assigns the text.
  std::array<std::atomic<uint8_t>, 15> softkey_bytes{};
  std::atomic<uint8_t> softkey_length{0};
};

struct onstrig_entry {
  int32_t id = 0;
  int64_t arg = 0;
  std::atomic<uint8_t> state{trap_off};
  std::atomic<uint8_t> pending{0};  // presses not yet handled
};

inline constexpr int onkey_entries = 32;
inline constexpr int onstrig_entries = 65536;

extern onkey_entry onkey[onkey_entries];
extern onstrig_entry onstrig[onstrig_entries];

// Raises a key or controller entry's pending count by one, saturating at 255
// rather than wrapping. Safe from any thread.
void trap_count_event(std::atomic<uint8_t>& pending);
