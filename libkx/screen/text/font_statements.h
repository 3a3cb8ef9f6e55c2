#pragma once
// Choosing, querying, loading and freeing fonts: _FONT, _FONTWIDTH,
// _FONTHEIGHT, _LOADFONT and _FREEFONT. Built-in fonts are 8, 14 and 16
// and their doubled forms 9, 15 and 17; loaded fonts are numbers from 32 up,
// which exist only when an outline font engine is installed.
#include <cstdint>

struct kxs;

// _LOADFONT(file, height[, options]): passed bit 1, options given. The new
// font's number, or -1 when the font cannot be loaded. Error 5 for a height
// of 0 or less and for an unknown or repeated option.
int32_t func__loadfont(kxs* file, int32_t height, kxs* options, int32_t passed);
// _LOADFONT with its options as font flags already combined.
int32_t fontopen(kxs* file, int32_t height, int32_t flags);

// _FONT font[, image]: passed bit 1, image given.
void sub__font(int32_t font, int32_t image, int32_t passed);
// _FONT[(image)]: the image's font.
int32_t func__font(int32_t image, int32_t passed);
// _FONTWIDTH[(font)], _FONTHEIGHT[(font)]: passed bit 1, font given; the
// write page's font otherwise. A width of 0 marks a proportional font.
int32_t func__fontwidth(int32_t font, int32_t passed);
int32_t func__fontheight(int32_t font, int32_t passed);
// _FREEFONT font.
void sub__freefont(int32_t font);

namespace kx {

// The flags of _LOADFONT's option text (upper-cased, comma-separated); -1
// after error 5.
int32_t font_option_flags(const uint8_t* text, int32_t length);

}  // namespace kx
