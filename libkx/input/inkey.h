#pragma once
// Reading the keyboard from the program thread.
#include <cstdint>

struct kxs;

// INKEY$: the oldest key of the type-ahead buffer as a temporary string of
// one byte, or two (CHR$(0) and the scan code) for an extended key; empty
// when the buffer is empty or an error is pending.
kxs* kxs_inkey();

// Whether a key waits in the type-ahead buffer (for waits that must not
// take it).
bool inkey_waiting();

// INKEY$ for the runtime's own key waits: takes the oldest key, if any.
bool inkey_take_key();

// _KEYHIT: the next press (positive) or release (negative) code, 0 if none.
int32_t func__keyhit();

// _KEYDOWN(code): -1 while held, 0 otherwise; error 5 for codes <= 0.
int32_t func__keydown(int32_t code);

// _KEYCLEAR [n]: 1 the type-ahead buffer, 2 the _KEYHIT ring, 3 the
// scan-code queue; all three when n is not given.
void sub__keyclear(int32_t n, int32_t passed);

// INP(&H60): the oldest scan code, or the last one taken again.
uint8_t keyboard_port60h_read();
