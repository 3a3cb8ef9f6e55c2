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
// How a fill writes 32-bit pixels: as pset does (replaced, left alone for
// alpha 0, or blended), or always replaced (CLS and the blank rows text
// output scrolls in).
enum class fill_write { as_pset, replace };
// Fills a pixel rectangle inside the image, x1 <= x2 and y1 <= y2: the
// masked byte on palette images; 32-bit pixels by the write rule.
void fill_rectangle(img_struct& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour,
                    fill_write write = fill_write::as_pset);
}  // namespace kx
