#pragma once
// Key codes taken from an X key event's symbols, for the keys that the
// toolkit's callbacks report as something else (the keypad, as the digits
// or cursor keys it doubles) or not at all (the lock keys, Pause, Break).
#include <cstdint>

namespace kx {

// The code for a key symbol, or 0 when the toolkit's own report of the key
// is the right one. state is the event's modifier state; numlock_mask the
// modifier bit that Num Lock sets; ctrl_mask the Control bit. Pause with
// Ctrl held is Break.
uint32_t x11_keysym_code(unsigned long keysym, unsigned int state, unsigned int numlock_mask,
                         unsigned int ctrl_mask);

}  // namespace kx
