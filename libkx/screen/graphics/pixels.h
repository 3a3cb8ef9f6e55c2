#pragma once
// Single pixels: PSET, PRESET, POINT and the clipped pixel write.
#include <cstdint>

// PSET [STEP](x, y)[, colour]. passed: 1 STEP, 2 colour.
void sub_pset(float x, float y, uint32_t colour, int32_t passed);
// PRESET: as PSET with the background colour as the default.
void sub_preset(float x, float y, uint32_t colour, int32_t passed);
// POINT(x, y) on the source image when passed is non-zero; POINT(n), n in x,
// on the destination when it is 0.
double func_point(float x, float y, int32_t passed);
// The raw pixel of the source image: the masked byte, or the 32-bit colour.
uint32_t point(int32_t x, int32_t y);
// One write-page pixel, skipped outside the viewport.
void pset_and_clip(int32_t x, int32_t y, uint32_t colour);
