#pragma once
// The three layers of graphics coordinates: the program's logical
// coordinates (mapped by WINDOW), the viewport (VIEW: clipping and an origin
// offset) and the image's pixels. WINDOW, VIEW and PMAP, and the transforms
// every primitive shares.
#include <cstdint>

#include "screen/images/image_record.h"

// WINDOW [[SCREEN](x1, y1)-(x2, y2)]. passed: 1 coordinates, 2 SCREEN.
void kxg_sub_window(float x1, float y1, float x2, float y2, int32_t passed);
// VIEW [[SCREEN](x1, y1)-(x2, y2)[, [fill][, border]]]. passed: 1
// coordinates, 2 SCREEN, 4 fill, 8 border.
void kxg_sub_view(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill, uint32_t border, int32_t passed);
// PMAP(value, n): 0/1 logical x/y to viewport pixels, 2/3 back.
float func_pmap(float value, int32_t n);

namespace kx {

using graphics_state = img_struct::graphics_state;

struct pixel_point {
  int32_t x, y;
};
struct exact_point {
  double x, y;
};

// Pixel coordinates of larger magnitude than this are pulled in to it before
// they become integers: far enough outside any image that a pulled-in point
// is still off it, and small enough that the view offset and the clipper's
// differences cannot overflow.
inline constexpr double pixel_reach = 1073741824.0;  // 2^30

// A logical point with the WINDOW scale applied in single precision, not
// rounded and without the view offset. A product beyond single precision's
// range is taken in double precision, so a far point keeps its direction.
exact_point to_scaled(const graphics_state& g, float x, float y);
// A scaled point as a pixel: each coordinate pulled in to pixel_reach,
// rounded to nearest (ties to even), then the view offset.
pixel_point scaled_to_pixel(const graphics_state& g, exact_point scaled);
// A logical point as the pixel the primitives draw (the two steps above).
pixel_point to_pixel(const graphics_state& g, float x, float y);
// The same without rounding, in double precision (CIRCLE and DRAW).
exact_point to_pixel_exact(const graphics_state& g, double x, double y);
// The inverse of to_pixel_exact.
exact_point to_logical_exact(const graphics_state& g, double px, double py);
// The cursor in viewport pixels, not rounded and without the view offset.
exact_point cursor_in_viewport_pixels(const graphics_state& g);

// Whether a pixel lies inside the viewport (the whole image when none is
// set: the viewport then spans it).
inline bool in_viewport(const graphics_state& g, int32_t x, int32_t y) {
  return x >= g.view_x1 && x <= g.view_x2 && y >= g.view_y1 && y <= g.view_y2;
}

// The write page when it holds pixels; error 5 and null for text (and for
// a pending error, null without a new one).
img_struct* graphics_destination();

}  // namespace kx
