#pragma once
// COLOR, PALETTE and PALETTE USING on the write page, per screen mode.
#include <cstdint>

// COLOR foreground, background, border: passed bits 1, 2, 4.
void kxg_sub_color(uint32_t foreground, uint32_t background, uint32_t border, int32_t passed);
// PALETTE attribute, colour (passed bits 1 and 2); none restores the
// mode's default palette.
void kxg_palette(uint32_t attribute, int32_t colour, int32_t passed);
// PALETTE USING: elements of element_bits (16 or 32) from first on, with
// available elements from there to the end of the array.
void sub_paletteusing(const void* first, int64_t available, int32_t element_bits);

namespace kx {
// A VGA colour (blue << 16 | green << 8 | red, each 0-63) as a palette
// entry red << 16 | green << 8 | blue with alpha 0; false when any bit of
// 0xFFC0C0C0 is set.
bool vga_colour_entry(uint32_t vga, uint32_t* entry);
}  // namespace kx
