#include "screen/graphics/lines.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "base/error.h"
#include "screen/graphics/box_fill.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/segment_reach.h"
#include "screen/images/blend.h"
#include "screen/images/image_table.h"
#include "values/rounding.h"

int32_t lineclip_x1, lineclip_y1, lineclip_x2, lineclip_y2;
int32_t lineclip_draw;
int64_t lineclip_skippixels;

namespace {

struct clip_box {
  int32_t left, top, right, bottom;
  bool contains(int64_t x, int64_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Moves an outside end point (x, y) along the line toward (ox, oy) onto the
// first edge of the box it lands on: right, left, top, bottom. The computed
// coordinate is rounded to nearest; false when no edge takes it.
bool move_onto_edge(int32_t& x, int32_t& y, int32_t ox, int32_t oy, const clip_box& box) {
  const double dx = double(ox) - x, dy = double(oy) - y;
  const double mx = dx / std::fabs(dy);
  const double my = dy / std::fabs(dx);
  auto land_on_row = [&](int32_t row, double at) {
    const double column = std::nearbyint(at);
    if (!(column >= box.left && column <= box.right)) return false;
    x = static_cast<int32_t>(column);
    y = row;
    return true;
  };
  auto land_on_column = [&](int32_t column, double at) {
    const double row = std::nearbyint(at);
    if (!(row >= box.top && row <= box.bottom)) return false;
    x = column;
    y = static_cast<int32_t>(row);
    return true;
  };
  if (x > box.right && mx < 0 && land_on_column(box.right, my * (double(x) - box.right) + y)) return true;
  if (x < box.left && mx > 0 && land_on_column(box.left, my * (double(box.left) - x) + y)) return true;
  if (y < box.top && my > 0 && land_on_row(box.top, mx * (double(box.top) - y) + x)) return true;
  if (y > box.bottom && my < 0 && land_on_row(box.bottom, mx * (double(y) - box.bottom) + x)) return true;
  return false;
}

// Steps from one clipped end to the other. The interpolated coordinate
// advances in single precision and is rounded half away from zero; it is
// clamped to the clipped ends, so accumulated error never leaves the line's
// span (and therefore never the viewport). Before each pixel the pattern
// turns left one bit and the pixel is drawn when bit 0 is set.
template <class Put>
void step_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t pattern, Put put) {
  const int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  auto round_away = [](float v) { return static_cast<int32_t>(v < 0 ? v - 0.5f : v + 0.5f); };
  const bool solid = pattern == 0xFFFFFFFFu;
  if (dy < dx) {
    const int32_t sx = x2 > x1 ? 1 : -1;
    const int32_t low = std::min(y1, y2), high = std::max(y1, y2);
    const float step = static_cast<float>(y2 - y1) / static_cast<float>(dx);
    float y = static_cast<float>(y1);
    for (int32_t i = 0, x = x1; i <= dx; ++i, x += sx, y += step) {
      pattern = std::rotl(pattern, 1);
      if (solid || (pattern & 1)) put(x, std::clamp(round_away(y), low, high));
    }
    return;
  }
  const int32_t sy = y2 > y1 ? 1 : -1;
  const int32_t low = std::min(x1, x2), high = std::max(x1, x2);
  const float step = dy ? static_cast<float>(x2 - x1) / static_cast<float>(dy) : 0.0f;
  float x = static_cast<float>(x1);
  for (int32_t i = 0, y = y1; i <= dy; ++i, y += sy, x += step) {
    pattern = std::rotl(pattern, 1);
    if (solid || (pattern & 1)) put(std::clamp(round_away(x), low, high), y);
  }
}

// Clips a pixel line to the write page's viewport and draws it. skipped:
// the pixels already cut off its start before it reached integer range.
void clipped_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour, uint32_t style,
                  int32_t skipped = 0) {
  img_struct& image = *write_page;
  const auto& g = image.graphics;
  lineclip(x1, y1, x2, y2, g.view_x1, g.view_y1, g.view_x2, g.view_y2);
  if (!lineclip_draw) return;
  uint32_t pattern = (style & 0xFFFF) * 65537u;
  pattern = std::rotl(pattern, static_cast<int>((lineclip_skippixels + skipped) & 15));
  const uint64_t width = image.width;
  if (image.bytes_per_pixel == 1) {
    uint8_t* data = image.data;
    const auto byte = static_cast<uint8_t>(colour & image.mask);
    step_line(lineclip_x1, lineclip_y1, lineclip_x2, lineclip_y2, pattern,
              [&](int32_t x, int32_t y) { data[uint64_t(y) * width + x] = byte; });
    return;
  }
  uint32_t* pixels = kx::pixels32(image);
  if (image.alpha_disabled || (colour >> 24) == 255) {
    step_line(lineclip_x1, lineclip_y1, lineclip_x2, lineclip_y2, pattern,
              [&](int32_t x, int32_t y) { pixels[uint64_t(y) * width + x] = colour; });
    return;
  }
  step_line(lineclip_x1, lineclip_y1, lineclip_x2, lineclip_y2, pattern, [&](int32_t x, int32_t y) {
    uint32_t& p = pixels[uint64_t(y) * width + x];
    p = kx::blend_pixel(p, colour);
  });
}

}  // namespace

void lineclip(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const clip_box box{left, top, right, bottom};
  lineclip_skippixels = 0;
  lineclip_draw = 0;
  if (!box.contains(x1, y1)) {
    if (x1 == x2 && y1 == y2) return;
    if ((x1 < left && x2 < left) || (x1 > right && x2 > right) || (y1 < top && y2 < top) ||
        (y1 > bottom && y2 > bottom)) {
      return;
    }
    const int32_t old_x = x1, old_y = y1;
    if (!move_onto_edge(x1, y1, x2, y2, box)) return;
    lineclip_skippixels = std::max(std::llabs(int64_t(x1) - old_x), std::llabs(int64_t(y1) - old_y));
  } else if (x1 == x2 && y1 == y2) {
    lineclip_x1 = lineclip_x2 = x1;
    lineclip_y1 = lineclip_y2 = y1;
    lineclip_draw = 1;
    return;
  }
  if (!box.contains(x2, y2) && !move_onto_edge(x2, y2, x1, y1, box)) return;
  lineclip_x1 = x1;
  lineclip_y1 = y1;
  lineclip_x2 = x2;
  lineclip_y2 = y2;
  lineclip_draw = 1;
}

void fast_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  clipped_line(x1, y1, x2, y2, colour, 0xFFFF);
}

void kx::fast_line_exact(exact_point a, exact_point b, uint32_t colour) {
  if (!clip_to_reach(a, b).visible) return;
  clipped_line(kxr_double_to_long(a.x), kxr_double_to_long(a.y), kxr_double_to_long(b.x), kxr_double_to_long(b.y),
               colour, 0xFFFF);
}

void kx32_line(float x1, float y1, float x2, float y2, uint32_t colour, uint32_t style) {
  const auto& g = write_page->graphics;
  auto a = kx::to_scaled(g, x1, y1);
  auto b = kx::to_scaled(g, x2, y2);
  const kx::reach_clip clip = kx::clip_to_reach(a, b);
  if (!clip.visible) return;
  // Only the phase of the cut-off part matters to the style.
  const auto skipped = static_cast<int32_t>(std::fmod(std::nearbyint(clip.skipped), 16.0));
  const auto p = kx::scaled_to_pixel(g, a);
  const auto q = kx::scaled_to_pixel(g, b);
  clipped_line(p.x, p.y, q.x, q.y, colour, style, skipped);
}

void sub_line(float x1, float y1, float x2, float y2, uint32_t colour, int32_t box, uint32_t style, int32_t passed) {
  img_struct* image = kx::graphics_destination();
  if (!image) return;
  auto& g = image->graphics;
  if (passed & 1) {
    if (passed & 4) {
      x1 += g.x;
      y1 += g.y;
    }
  } else {
    x1 = g.x;
    y1 = g.y;
  }
  if (passed & 2) {
    x2 += x1;
    y2 += y1;
  }
  g.x = x2;
  g.y = y2;
  if (!(passed & 8)) colour = image->color;
  image->draw_color = colour;
  if (!(passed & 16)) style = 0xFFFF;
  switch (box) {
    case 0:
      kx32_line(x1, y1, x2, y2, colour, style);
      break;
    case 1:
      kx32_line(x1, y1, x2, y1, colour, style);
      kx32_line(x2, y1, x2, y2, colour, style);
      kx32_line(x2, y2, x1, y2, colour, style);
      kx32_line(x1, y2, x1, y1, colour, style);
      break;
    default:
      kx32_boxfill(x1, y1, x2, y2, colour);
      break;
  }
}
