#pragma once
// Lines: LINE with its box forms and 16-bit style, the line clipper, and
// the unstyled pixel line CIRCLE and DRAW use.
#include <cstdint>

#include "screen/graphics/coordinates.h"

// LINE [[STEP](x1, y1)]-[STEP](x2, y2)[, [colour][, [B|BF][, style]]].
// box: 0 line, 1 B, 2 BF. passed: 1 first point, 4 first point STEP,
// 2 second point STEP, 8 colour, 16 style.
void sub_line(float x1, float y1, float x2, float y2, uint32_t colour, int32_t box, uint32_t style, int32_t passed);
// A styled line between logical points on the write page.
void kx32_line(float x1, float y1, float x2, float y2, uint32_t colour, uint32_t style);
// An unstyled line between write-page pixels, clipped to the viewport.
void fast_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
namespace kx {
// The same between real pixel positions (DRAW's pen, CIRCLE's radius
// lines): ends beyond integer range are clipped as real numbers first, so
// the line keeps its direction; then both are rounded to nearest.
void fast_line_exact(exact_point a, exact_point b, uint32_t colour);
}  // namespace kx

// Clips a pixel line to a rectangle; results in the lineclip_ variables.
void lineclip(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t left, int32_t top, int32_t right, int32_t bottom);
extern int32_t lineclip_x1, lineclip_y1, lineclip_x2, lineclip_y2;
extern int32_t lineclip_draw;        // 0 = nothing visible
extern int64_t lineclip_skippixels;  // pixels cut off the line's start
