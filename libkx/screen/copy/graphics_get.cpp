#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "screen/copy/graphics_get_put.h"
#include "screen/copy/packed_pixels.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/image_table.h"
#include "values/byte_element.h"

namespace {

uint32_t pixel_of(const img_struct& image, uint64_t x, uint64_t y) {
  const uint64_t i = y * image.width + x;
  return image.bytes_per_pixel == 1 ? image.data[i] : kx::pixels32(image)[i];
}

}  // namespace

void sub_graphics_get(byte_element_struct* array, uint32_t offcolour, int32_t passed, float x1, float y1, float x2,
                      float y2) {
  if (new_error.load()) return;
  img_struct& image = *read_page;
  if (image.text) {
    error(err::illegal_function_call);
    return;
  }
  auto& g = image.graphics;
  if (passed & 1) {
    x1 += g.x;
    y1 += g.y;
  }
  if (passed & 2) {
    x2 += x1;
    y2 += y1;
  }
  g.x = x2;
  g.y = y2;
  auto a = kx::to_pixel(g, x1, y1);
  auto b = kx::to_pixel(g, x2, y2);
  if (a.x > b.x) std::swap(a.x, b.x);
  if (a.y > b.y) std::swap(a.y, b.y);
  const bool off_colour = passed & 4;
  if (!off_colour && (a.x < 0 || a.y < 0 || b.x >= image.width || b.y >= image.height)) {
    error(err::illegal_function_call);
    return;
  }
  const int32_t bits = image.bytes_per_pixel == 4 ? 32 : image.bits_per_pixel;
  const auto layout = kx::packed_layout_of(bits, uint64_t(int64_t{b.x} - a.x) + 1, uint64_t(int64_t{b.y} - a.y) + 1);
  if (layout.width_field > kx::packed_field_max || layout.height > kx::packed_field_max ||
      layout.total > uint64_t(std::max(array->length, 0))) {
    error(err::illegal_function_call);
    return;
  }
  auto* bytes = reinterpret_cast<uint8_t*>(array->address);
  kx::write_packed_header(layout, bytes);
  const uint32_t outside = offcolour & image.mask;
  uint8_t* row = bytes + kx::packed_header_bytes;
  for (uint64_t y = 0; y < layout.height; ++y, row += layout.row_bytes) {
    std::memset(row, 0, layout.row_bytes);
    const int64_t py = a.y + int64_t(y);
    const bool row_inside = py >= 0 && py < image.height;
    // Whole rows of one- and four-byte pixels are the image's own bytes.
    if (row_inside && a.x >= 0 && b.x < image.width && (bits == 8 || bits == 32)) {
      const uint64_t size = bits / 8;
      std::memcpy(row, image.data + (uint64_t(py) * image.width + uint64_t(a.x)) * size, layout.width * size);
      continue;
    }
    for (uint64_t x = 0; x < layout.width; ++x) {
      const int64_t px = a.x + int64_t(x);
      const bool inside = row_inside && px >= 0 && px < image.width;
      kx::put_packed_pixel(layout, row, x, inside ? pixel_of(image, uint64_t(px), uint64_t(py)) : outside);
    }
  }
}
