#pragma once
// PAINT: flooding a region of the write page bounded by a border colour and
// the viewport, with a colour or a tile pattern.
#include <cstdint>

struct kxs;

// PAINT [STEP](x, y)[, fill][, border]. passed: 1 STEP, 2 fill, 4 border,
// 8 background string (an error with a numeric fill).
void sub_paint(float x, float y, uint32_t fill, uint32_t border, kxs* background, int32_t passed);
// PAINT [STEP](x, y), tile$[, border][, background$]; passed as above.
void sub_paint(float x, float y, kxs* tile, uint32_t border, kxs* background, int32_t passed);
