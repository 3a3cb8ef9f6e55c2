#pragma once
// _CONTROLCHR and _BLINK.
#include <atomic>
#include <cstdint>

// 1 (default): attribute bit 7 makes a text cell blink; 0: it selects a
// bright background. Written by the application thread, read by the
// composer.
inline std::atomic<int32_t> H3C0_blink_enable{1};

// n = 1 ON, 2 OFF.
void sub__controlchr(int32_t n);
// -1 while control characters are printed as glyphs, else 0.
int32_t func__controlchr();
// n = 1 ON.
void sub__blink(int32_t n);
// -1 while blinking is on.
int32_t func__blink();
