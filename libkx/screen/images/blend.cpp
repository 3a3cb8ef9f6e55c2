#include "screen/images/blend.h"

#include "values/rounding.h"
#include <cstdlib>

#include "screen/images/image_record.h"
#include "screen/images/image_table.h"

uint8_t* cblend = nullptr;
uint8_t* ablend = nullptr;
uint8_t* ablend127 = nullptr;
uint8_t* ablend128 = nullptr;

bool init_blend() {
  if (cblend) return true;
  auto* colour = static_cast<uint8_t*>(std::malloc(256 * 256 * 256));
  auto* alpha = static_cast<uint8_t*>(std::malloc(256 * 256));
  if (!colour || !alpha) {
    std::free(colour);
    std::free(alpha);
    return false;
  }
  for (int a = 0; a < 256; ++a) {
    const double weight = a / 255.0;
    for (int s = 0; s < 256; ++s) {
      uint8_t* row = colour + (a << 16) + (s << 8);
      for (int d = 0; d < 256; ++d) row[d] = static_cast<uint8_t>(kxr(d * (1 - weight) + weight * s));
    }
    for (int b = 0; b < 256; ++b) {
      alpha[(a << 8) | b] = static_cast<uint8_t>(kxr(255.0 * (1 - (1 - weight) * (1 - b / 255.0))));
    }
  }
  ablend = alpha;
  ablend127 = alpha + (127 << 8);
  ablend128 = alpha + (128 << 8);
  cblend = colour;
  return true;
}

void kx::pset_on(img_struct& image, uint64_t pixel, uint32_t colour) {
  if (image.bytes_per_pixel == 1) {
    image.data[pixel] = static_cast<uint8_t>(colour & image.mask);
    return;
  }
  uint32_t* p = pixels32(image) + pixel;
  if (image.alpha_disabled || (colour >> 24) == 255) {
    *p = colour;
  } else {
    *p = blend_pixel(*p, colour);
  }
}

void pset(int32_t x, int32_t y, uint32_t colour) {
  img_struct& image = *write_page;
  kx::pset_on(image, static_cast<uint64_t>(x) + static_cast<uint64_t>(y) * image.width, colour);
}
