#pragma once
// Filled rectangles: LINE ... BF, VIEW's fill, and the pixel helper the
// other primitives and text output use.
#include <cstdint>

struct img_struct;

// A filled box between two logical corners on the write page, clamped to
// the viewport.
void kx32_boxfill(float x1, float y1, float x2, float y2, uint32_t colour);
// A filled rectangle of write-page pixels, x1 <= x2 and y1 <= y2, inside the
// image (not clipped).
void fast_boxfill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

namespace kx {
// Fills a pixel rectangle inside the image as pset writes each pixel: the
// masked byte on palette images; on 32-bit images replaced, left alone
// (alpha 0) or blended.
void fill_rectangle(img_struct& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
}  // namespace kx
