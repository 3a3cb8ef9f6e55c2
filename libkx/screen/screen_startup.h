#pragma once
// The screen's steps of start-up, called by kx_main in this order.
#include <cstdint>

// The renderer's cached state, the three frame slots and the composer's
// memory back to "unknown"; the hardware image lists.
void screen_renderer_init();
// The six built-in fonts' metrics.
void screen_fonts_init();
// The image table with its two reserved records.
void screen_images_init();
// The palettes and the built-in character sets.
void screen_palettes_init();
// SCREEN 0, then the one-time 80 x 50 switch of LOCATE.
void screen_mode_init();
// The two icons as 32-bit images.
void screen_icons_init();

// The screen's steps above but the icons, in their order, for programs
// that drive the screen without a window (tests, benchmarks). Memory and
// strings must be started first.
void screen_start_without_window();

// Their handles (no other part of the runtime uses them).
extern int32_t image_kxicon16_handle;
extern int32_t image_kxicon32_handle;
