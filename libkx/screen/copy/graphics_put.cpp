#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "screen/copy/graphics_get_put.h"
#include "screen/copy/packed_pixels.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/image_table.h"
#include "values/byte_element.h"

namespace {

enum class put_action : int32_t { exclusive_or = 0, pset = 1, preset = 2, conjunction = 3, disjunction = 4 };

uint32_t apply(put_action action, uint32_t d, uint32_t c, uint32_t mask) {
  switch (action) {
    case put_action::pset:
      return c;
    case put_action::preset:
      return ~c & mask;
    case put_action::conjunction:
      return d & c;
    case put_action::disjunction:
      return d | c;
    default:
      return d ^ c;
  }
}

}  // namespace

void sub_graphics_put(byte_element_struct* array, int32_t action, uint32_t transparent, int32_t options, float x,
                      float y) {
  if (new_error.load()) return;
  img_struct& image = *write_page;
  if (image.text || action < 0 || action > 5) {
    error(err::illegal_function_call);
    return;
  }
  auto& g = image.graphics;
  if (options & 1) {
    x += g.x;
    y += g.y;
    g.x = x;
    g.y = y;
  }
  const auto at = kx::to_pixel(g, x, y);
  const uint64_t length = uint64_t(std::max(array->length, 0));
  const auto* bytes = reinterpret_cast<const uint8_t*>(array->address);
  const int32_t bits = image.bytes_per_pixel == 4 ? 32 : image.bits_per_pixel;
  if (length < kx::packed_header_bytes) {
    error(err::illegal_function_call);
    return;
  }
  const auto layout = kx::packed_layout_from_header(bits, bytes);
  const bool clip = options & 2;
  const int64_t x2 = at.x + int64_t(layout ? layout->width : 0) - 1;
  const int64_t y2 = at.y + int64_t(layout ? layout->height : 0) - 1;
  if (!layout || layout->total > length ||
      (!clip && (at.x < 0 || at.y < 0 || x2 >= image.width || y2 >= image.height))) {
    error(err::illegal_function_call);
    return;
  }
  const bool skip_transparent = options & ~3;
  const uint32_t mask = image.mask;
  const uint32_t clear = transparent & mask;
  const auto op = action == 5 ? put_action::exclusive_or : static_cast<put_action>(action);
  // Only the part inside the image is visited.
  const int64_t first_x = std::max<int64_t>(at.x, 0), last_x = std::min<int64_t>(x2, image.width - 1);
  const int64_t first_y = std::max<int64_t>(at.y, 0), last_y = std::min<int64_t>(y2, image.height - 1);
  if (first_x > last_x) return;  // a picture 0 pixels wide, or clipped away
  for (int64_t py = first_y; py <= last_y; ++py) {
    const uint8_t* row = bytes + kx::packed_header_bytes + uint64_t(py - at.y) * layout->row_bytes;
    const uint64_t line = uint64_t(py) * image.width;
    // PSET of whole bytes that need no masking: the row's bytes as they are.
    if (op == put_action::pset && !skip_transparent && (bits == 32 || (bits == 8 && mask == 0xFF))) {
      const uint64_t size = bits / 8;
      std::memcpy(image.data + (line + uint64_t(first_x)) * size, row + uint64_t(first_x - at.x) * size,
                  uint64_t(last_x - first_x + 1) * size);
      continue;
    }
    for (int64_t px = first_x; px <= last_x; ++px) {
      const uint32_t c = kx::packed_pixel(*layout, row, uint64_t(px - at.x));
      if (skip_transparent && (c & mask) == clear) continue;
      if (image.bytes_per_pixel == 1) {
        uint8_t& d = image.data[line + uint64_t(px)];
        d = static_cast<uint8_t>(apply(op, d, c, mask) & mask);
      } else {
        uint32_t& d = kx::pixels32(image)[line + uint64_t(px)];
        d = apply(op, d, c, mask);
      }
    }
  }
}
