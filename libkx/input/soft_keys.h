#pragma once
// The soft keys: texts typed by F1-F12, the user-defined trap keys 15-29
// (their scan code and shift flags), and the key line that shows the texts
// on the screen's bottom text row. Application thread; the window thread
// only reads the texts and trap keys, through trap_sources.h.
#include <cstdint>

struct kxs;

// KEY ON and KEY OFF: show or hide the key line.
void key_on();
void key_off();
// KEY LIST: prints every soft key's label and text at the cursor.
void key_list();
// KEY n, text: soft keys 1-10, 30 (F11) and 31 (F12) take a text of at most
// 15 bytes; trap keys 15-29 take shift flags and a scan code (the last
// byte); anything else is error 5.
void key_assign(int32_t n, kxs* text);

// 1 after KEY ON, 0 after KEY OFF; the state last drawn; a request to draw
// the line again.
extern int32_t key_display;
extern int32_t key_display_state;
extern int32_t key_display_redraw;

// Draws or clears the key line when it changed or a redraw was asked for.
void key_update();

namespace kx {

// Start-up: the line off, no soft-key texts, no trap keys, and the screen
// layer's redraw requests answered here.
void soft_keys_init();
// The record of onkey that holds soft key f (1-12).
int soft_key_entry(int f);

}  // namespace kx
