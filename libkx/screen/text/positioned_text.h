#pragma once
// Text placed and measured by pixels: _PRINTMODE, _PRINTWIDTH and
// _PRINTSTRING. Optional image arguments default to the write page.
#include <cstdint>

struct kxs;

// _PRINTMODE form[, image]: form 1 paints glyph and background, 2 the glyph
// only, 3 the background only. passed bit 1, image given.
void sub__printmode(int32_t form, int32_t image, int32_t passed);
// The image's stored print mode (1 glyph only, 2 background only, 3 both).
int32_t func__printmode(int32_t image, int32_t passed);
// _PRINTWIDTH(text[, image]): characters on a text image, pixels otherwise.
int32_t func__printwidth(kxs* text, int32_t image, int32_t passed);
// _PRINTSTRING [STEP](x, y), text[, image]: passed bit 1 STEP, bit 2 image
// given. On a text image x and y are column and row and the cursor stays
// where it was; on a pixel image they are graphics coordinates and no line
// wraps.
void sub__printstring(float x, float y, kxs* text, int32_t image, int32_t passed);
