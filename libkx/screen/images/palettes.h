#pragma once
// The built-in palettes (opaque 0xAARRGGBB) and each mode's default palette.
#include <cstdint>

struct img_struct;

extern uint32_t palette_256[256];
extern uint32_t palette_64[64];

// Start-up: loads the two tables, making every entry opaque.
void palettes_init();

// The default palette of the image's mode; nothing for 32-bit images.
void restorepalette(img_struct* image);
