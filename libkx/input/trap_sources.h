#pragma once
// The ON KEY and ON STRIG tables as their sources see them. The keyboard (on
// the window thread) and the controllers match presses against the entries
// and raise their pending counts; the program thread sets the entries up and
// the trap dispatcher runs their handlers (frame/traps.h).
#include <array>
#include <atomic>
#include <cstdint>

// A soft key's text as one value: the program thread replaces it while the
// window thread types it, so it is only ever copied whole, under the table's
// lock (soft_key_text_of, set_soft_key_text).
inline constexpr int soft_key_text_max = 15;
struct soft_key_text {
  std::array<uint8_t, soft_key_text_max> bytes{};
  uint8_t length = 0;
};

// A user-defined trap key: the scan code and the shift flags travel in one
// word, so a press never pairs a new scan code with old flags.
struct user_key {
  uint8_t scan_code = 0;
  uint8_t shift_flags = 0;
};

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
  // User-defined keys 15-29: scan code in the low byte, shift flags above.
  std::atomic<uint16_t> user_key_word{0};
  // Soft keys: the text, guarded by the table's lock.
  soft_key_text softkey;
  // Whether softkey holds any bytes, so the window thread can pass by the
  // entries without a text without taking the lock.
  std::atomic<bool> has_softkey{false};
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

namespace kx {

// The entry's soft-key text, copied whole (any thread).
soft_key_text soft_key_text_of(const onkey_entry& e);
// Replaces the text; bytes beyond soft_key_text_max are dropped (any thread).
void set_soft_key_text(onkey_entry& e, const uint8_t* bytes, int length);
inline user_key user_key_of(const onkey_entry& e) {
  const uint16_t w = e.user_key_word.load();
  return {static_cast<uint8_t>(w & 0xFF), static_cast<uint8_t>(w >> 8)};
}
inline void set_user_key(onkey_entry& e, user_key k) {
  e.user_key_word = static_cast<uint16_t>(k.scan_code | k.shift_flags << 8);
}

}  // namespace kx

// Raises a key or controller entry's pending count by one, saturating at 255
// rather than wrapping. Safe from any thread.
void trap_count_event(std::atomic<uint8_t>& pending);
