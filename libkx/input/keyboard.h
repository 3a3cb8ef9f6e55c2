#pragma once
// The keyboard layer: key presses and releases from the window thread go
// into the emulated BIOS type-ahead buffer and status bytes (in cmem), the
// port-60h scan-code queue, the _KEYHIT ring and the held-key set, fire ON
// KEY traps, expand soft keys, pause the program and request exits.
#include <atomic>
#include <cstdint>

// Window side (window thread).
void keydown(uint32_t code);
void keyup(uint32_t code);
void keydown_ascii(uint32_t code);
void keyup_ascii(uint32_t code);
void keydown_vk(uint32_t code);
void keyup_vk(uint32_t code);
void keydown_unicode(uint32_t u);
void keyup_unicode(uint32_t u);

// Whether a code is held, counting keypad twins (a held keypad 8 with Num
// Lock on counts as "8").
bool keyheld(uint32_t code);

// The code _KEYHIT reports for a raw code: keypad keys as the keys they
// stand for.
uint32_t keyhit_code(uint32_t code);

// Releases every held modifier (when the pointer leaves the window).
void release_held_modifiers();

// -1 while the pointer is inside the window, 0 after it leaves.
inline std::atomic<int32_t> window_focused{0};

// Start-up: empty buffers and rings, the scan-code queue's front byte 129.
void keyboard_init();
