#include "screen/graphics/paint.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/error.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/flood_fill.h"
#include "screen/images/blend.h"
#include "screen/images/image_table.h"
#include "values/string_descriptor.h"

kx::paint_storage& kx::paint_work() {
  static paint_storage storage;
  return storage;
}

namespace {

constexpr int32_t tile_bytes_max = 64;
constexpr int32_t planar_tile_bytes_max = 256;
constexpr int32_t background_bytes_max = 255;
constexpr int32_t planes = 4;

// The start pixel of a PAINT: moves the cursor, and gives false when the
// pixel lies outside the viewport.
bool start_pixel(img_struct& image, float x, float y, int32_t passed, kx::pixel_point& p) {
  auto& g = image.graphics;
  if (passed & 1) {
    x += g.x;
    y += g.y;
  }
  g.x = x;
  g.y = y;
  p = kx::to_pixel(g, x, y);
  return kx::in_viewport(g, p.x, p.y);
}

kx::paint_bounds viewport_of(const img_struct& image) {
  const auto& g = image.graphics;
  return {g.view_x1, g.view_y1, g.view_x2, g.view_y2};
}

// A tile pattern decoded into palette indexes: sx columns by sy rows.
struct tile_pattern {
  int32_t sx = 1, sy = 1;
  std::array<uint8_t, 8 * tile_bytes_max> cells{};
  uint8_t at(int64_t x, int64_t y) const { return cells[size_t((y % sy) * sx + (x % sx))]; }
};

// Decodes tile bytes for the image's pixel depth: one pixel per byte at 8
// bits, 8 pixels per byte at 1 bit (most significant first), 4 at 2 bits,
// and rows of four plane bytes at 4 bits.
tile_pattern decode_tile(const uint8_t* bytes, int32_t length, int32_t bits) {
  tile_pattern t;
  if (bits == 8) {
    t.sx = 1;
    t.sy = length;
    for (int32_t r = 0; r < length; ++r) t.cells[size_t(r)] = bytes[r];
    return t;
  }
  t.sx = bits == 2 ? 4 : 8;
  if (bits == 4) {
    t.sy = (length + planes - 1) / planes;
    for (int32_t r = 0; r < t.sy; ++r) {
      for (int32_t c = 0; c < 8; ++c) {
        uint8_t v = 0;
        for (int32_t p = 0; p < planes; ++p) {
          const int32_t i = r * planes + p;
          if (i < length && (bytes[i] >> (7 - c) & 1)) v |= uint8_t(1 << p);
        }
        t.cells[size_t(r * 8 + c)] = v;
      }
    }
    return t;
  }
  t.sy = length;
  for (int32_t r = 0; r < length; ++r) {
    for (int32_t c = 0; c < t.sx; ++c) {
      t.cells[size_t(r * t.sx + c)] =
          bits == 2 ? uint8_t(bytes[r] >> (6 - 2 * c) & 3) : uint8_t(bytes[r] >> (7 - c) & 1);
    }
  }
  return t;
}

void paint_palette(img_struct& image, kx::pixel_point p, uint8_t fill, uint8_t border) {
  uint8_t* data = image.data;
  const uint64_t width = image.width;
  if (data[uint64_t(p.y) * width + p.x] == border) return;
  kx::span_fill(
      width, viewport_of(image), p.x, p.y, [&](int32_t x, int32_t y) { return data[uint64_t(y) * width + x] == border; },
      [&](int32_t x1, int32_t x2, int32_t y) { std::memset(data + uint64_t(y) * width + x1, fill, size_t(x2 - x1) + 1); });
}

void paint_32(img_struct& image, kx::pixel_point p, uint32_t fill, uint32_t border) {
  uint32_t* pixels = kx::pixels32(image);
  const uint64_t width = image.width;
  if (pixels[uint64_t(p.y) * width + p.x] == border) return;
  auto stops = [&](int32_t x, int32_t y) { return pixels[uint64_t(y) * width + x] == border; };
  if (image.alpha_disabled || (fill >> 24) == 255) {
    kx::span_fill(width, viewport_of(image), p.x, p.y, stops, [&](int32_t x1, int32_t x2, int32_t y) {
      std::fill_n(pixels + uint64_t(y) * width + x1, size_t(x2 - x1) + 1, fill);
    });
  } else {
    kx::span_fill(width, viewport_of(image), p.x, p.y, stops, [&](int32_t x1, int32_t x2, int32_t y) {
      uint32_t* run = pixels + uint64_t(y) * width;
      for (int32_t x = x1; x <= x2; ++x) run[x] = kx::blend_pixel(run[x], fill);
    });
  }
}

}  // namespace

void sub_paint(float x, float y, uint32_t fill, uint32_t border, kxs* background, int32_t passed) {
  (void)background;
  img_struct* image = kx::graphics_destination();
  if (!image) return;
  if (passed & 8) {
    error(err::illegal_function_call);
    return;
  }
  if (!(passed & 2)) fill = image->color;
  if (!(passed & 4)) border = fill;
  if (image->bytes_per_pixel == 1) {
    fill &= image->mask;
    border &= image->mask;
  }
  image->draw_color = fill;
  kx::pixel_point p;
  if (!start_pixel(*image, x, y, passed, p)) return;
  if (image->bytes_per_pixel == 1) {
    paint_palette(*image, p, static_cast<uint8_t>(fill), static_cast<uint8_t>(border));
  } else {
    paint_32(*image, p, fill, border);
  }
}

void sub_paint(float x, float y, kxs* tile, uint32_t border, kxs* background, int32_t passed) {
  img_struct* image = kx::graphics_destination();
  if (!image) return;
  // Tiles are patterns of palette indexes; a 32-bit image has none.
  const int32_t bits = image->bits_per_pixel;
  const int32_t limit = bits == 4 ? planar_tile_bytes_max : tile_bytes_max;
  if (image->bytes_per_pixel != 1 || tile->length < 1 || tile->length > limit) {
    error(err::illegal_function_call);
    return;
  }
  const tile_pattern pattern = decode_tile(tile->chars, tile->length, bits);
  // The background names one tile row whose colours may be painted over;
  // without one it is colour 0, so a blank region takes any tile.
  tile_pattern paintable;
  if (passed & 8) {
    if (background->length < 1 || background->length > background_bytes_max) {
      error(err::illegal_function_call);
      return;
    }
    const int32_t row_bytes = bits == 4 ? std::min(background->length, planes) : 1;
    paintable = decode_tile(background->chars, row_bytes, bits);
  }
  if (!(passed & 4)) border = image->color;
  const auto border_byte = static_cast<uint8_t>(border & image->mask);
  kx::pixel_point p;
  if (!start_pixel(*image, x, y, passed, p)) return;
  uint8_t* data = image->data;
  const uint64_t width = image->width;
  const uint8_t mask = static_cast<uint8_t>(image->mask);
  auto stops = [&](int32_t px, int32_t py) {
    const uint8_t pixel = data[uint64_t(py) * width + px];
    if (pixel == border_byte) return true;
    const uint8_t want = pattern.at(px, py) & mask;
    return pixel == want && want != (paintable.at(px, 0) & mask);
  };
  if (stops(p.x, p.y)) return;
  kx::flood_fill(width, viewport_of(*image), p.x, p.y, stops,
                 [&](int32_t px, int32_t py) { data[uint64_t(py) * width + px] = pattern.at(px, py) & mask; });
}
