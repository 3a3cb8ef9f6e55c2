#include "input/lock_keys.h"

#include <atomic>

#include "input/key_codes.h"
#include "input/key_rings.h"

namespace {
// Written by the window thread from each event's modifier state.
std::atomic<bool> caps_lock_on{false};
std::atomic<bool> num_lock_on{false};

int32_t truth(bool b) { return b ? -1 : 0; }
}  // namespace

void note_lock_state(bool caps, bool num) {
  caps_lock_on.store(caps, std::memory_order_relaxed);
  num_lock_on.store(num, std::memory_order_relaxed);
}

int32_t func__capslock() { return truth(caps_lock_on.load(std::memory_order_relaxed)); }
int32_t func__numlock() { return truth(num_lock_on.load(std::memory_order_relaxed)); }
int32_t func__scrolllock() { return truth(keyheld_buffer.contains(key::scroll_lock_toggle)); }

void toggle_lock_key(int32_t) {}
void sub__capslock(int32_t n) { toggle_lock_key(n); }
void sub__numlock(int32_t n) { toggle_lock_key(n); }
void sub__scrolllock(int32_t n) { toggle_lock_key(n); }
