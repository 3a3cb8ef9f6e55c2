#pragma once
// _CAPSLOCK, _NUMLOCK and _SCROLLLOCK. Caps Lock and Num Lock are the
// window system's own locks, as its events last reported them; Scroll Lock
// is the keyboard layer's toggle (the pseudo-key 200011), which the window
// system does not keep.
#include <cstdint>

// -1 while the lock is on, 0 while it is off.
int32_t func__capslock();
int32_t func__numlock();
int32_t func__scrolllock();

// The statements that would set the locks leave them alone: the locks
// belong to the whole display, not to this program.
void toggle_lock_key(int32_t n);
void sub__capslock(int32_t n);
void sub__numlock(int32_t n);
void sub__scrolllock(int32_t n);

// The lock state the window system reports with an event (window thread).
void note_lock_state(bool caps_lock_on, bool num_lock_on);
