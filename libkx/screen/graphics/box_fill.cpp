#include "screen/graphics/box_fill.h"

#include <algorithm>
#include <cstring>

#include "screen/graphics/coordinates.h"
#include "screen/images/blend.h"
#include "screen/images/image_table.h"

void kx::fill_rectangle(img_struct& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour,
                        fill_write write) {
  const uint64_t count = uint64_t(x2 - x1) + 1;
  const uint64_t width = image.width;
  // A box as wide as the image covers one unbroken run of memory.
  const bool whole_rows = count == width;
  if (image.bytes_per_pixel == 1) {
    const int byte = static_cast<int>(colour & image.mask);
    uint8_t* first = image.data + uint64_t(y1) * width + x1;
    if (whole_rows) {
      std::memset(first, byte, count * (uint64_t(y2 - y1) + 1));
      return;
    }
    for (int32_t y = y1; y <= y2; ++y) std::memset(first + uint64_t(y - y1) * width, byte, count);
    return;
  }
  uint32_t* first = pixels32(image) + uint64_t(y1) * width + x1;
  if (write == fill_write::replace || image.alpha_disabled || (colour >> 24) == 255) {
    if (whole_rows) {
      std::fill_n(first, count * (uint64_t(y2 - y1) + 1), colour);
      return;
    }
    // One row pixel by pixel, the rest copied from it.
    std::fill_n(first, count, colour);
    for (int32_t y = y1 + 1; y <= y2; ++y) std::memcpy(first + uint64_t(y - y1) * width, first, count * 4);
    return;
  }
  if ((colour >> 24) == 0) return;
  for (int32_t y = y1; y <= y2; ++y) {
    uint32_t* p = first + uint64_t(y - y1) * width;
    for (uint64_t i = 0; i < count; ++i) p[i] = blend_pixel(p[i], colour);
  }
}

void kx32_boxfill(float x1, float y1, float x2, float y2, uint32_t colour) {
  img_struct& image = *write_page;
  const auto& g = image.graphics;
  auto a = kx::to_pixel(g, x1, y1);
  auto b = kx::to_pixel(g, x2, y2);
  if (a.x > b.x) std::swap(a.x, b.x);
  if (a.y > b.y) std::swap(a.y, b.y);
  if (b.x < g.view_x1 || a.x > g.view_x2 || b.y < g.view_y1 || a.y > g.view_y2) return;
  kx::fill_rectangle(image, std::max(a.x, g.view_x1), std::max(a.y, g.view_y1), std::min(b.x, g.view_x2),
                     std::min(b.y, g.view_y2), colour);
}

void fast_boxfill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  kx::fill_rectangle(*write_page, x1, y1, x2, y2, colour);
}
