#include "screen/images/rgb_functions.h"

#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "screen/images/image_table.h"

namespace {

int32_t clamp_component(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

enum class component { alpha, red, green, blue };

int32_t colour_component(uint32_t colour, int32_t image, int32_t passed, component which) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  if (i->bytes_per_pixel == 4) {
    const int shift = which == component::alpha ? 24 : which == component::red ? 16 : which == component::green ? 8 : 0;
    return static_cast<int32_t>((colour >> shift) & 0xFF);
  }
  if (colour > i->mask) {
    error(err::illegal_function_call);
    return 0;
  }
  if (which == component::alpha) return static_cast<int32_t>(colour) == i->transparent_color ? 0 : 255;
  const uint32_t entry = i->pal[colour];
  const int shift = which == component::red ? 16 : which == component::green ? 8 : 0;
  return static_cast<int32_t>((entry >> shift) & 0xFF);
}

}  // namespace

img_struct* kx::optional_image(int32_t image, int32_t passed, int32_t bit) {
  if (!(passed & bit)) return write_page;
  return image_or_page(image);
}

uint32_t matchcol(int32_t r, int32_t g, int32_t b, const img_struct* image) {
  const uint32_t n = image->text ? 16 : image->mask + 1;
  int32_t best = 1000;
  uint32_t best_index = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t e = image->pal[i];
    const int32_t d = std::abs(r - static_cast<int32_t>((e >> 16) & 0xFF)) +
                      std::abs(g - static_cast<int32_t>((e >> 8) & 0xFF)) + std::abs(b - static_cast<int32_t>(e & 0xFF));
    if (d < best) {
      best = d;
      best_index = i;
      if (d == 0) break;
    }
  }
  return best_index;
}

uint32_t matchcol(int32_t r, int32_t g, int32_t b) { return matchcol(r, g, b, write_page); }

uint32_t func__rgb(int32_t r, int32_t g, int32_t b, int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  r = clamp_component(r), g = clamp_component(g), b = clamp_component(b);
  if (i->bytes_per_pixel == 4) return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
  return matchcol(r, g, b, i);
}

uint32_t func__rgba(int32_t r, int32_t g, int32_t b, int32_t a, int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  r = clamp_component(r), g = clamp_component(g), b = clamp_component(b), a = clamp_component(a);
  if (i->bytes_per_pixel == 4) return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
  if (a == 0 && i->transparent_color != -1) return static_cast<uint32_t>(i->transparent_color);
  return matchcol(r, g, b, i);
}

int32_t func__alpha(uint32_t c, int32_t image, int32_t passed) { return colour_component(c, image, passed, component::alpha); }
int32_t func__red(uint32_t c, int32_t image, int32_t passed) { return colour_component(c, image, passed, component::red); }
int32_t func__green(uint32_t c, int32_t image, int32_t passed) { return colour_component(c, image, passed, component::green); }
int32_t func__blue(uint32_t c, int32_t image, int32_t passed) { return colour_component(c, image, passed, component::blue); }

uint32_t func__palettecolor(int32_t n, int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  if (!i->pal || n < 0 || n > 255) {
    error(err::illegal_function_call);
    return 0;
  }
  return i->pal[n] | 0xFF000000u;
}

void sub__palettecolor(int32_t n, uint32_t value, int32_t image, int32_t passed) {
  if (new_error.load()) return;
  img_struct* i = kx::optional_image(image, passed);
  if (!i) return;
  if (!i->pal || n < 0 || n > 255) {
    error(err::illegal_function_call);
    return;
  }
  i->pal[n] = value;
}

void sub__copypalette(int32_t source, int32_t destination, int32_t passed) {
  if (new_error.load()) return;
  const img_struct* from = (passed & 1) ? kx::image_or_page(source) : read_page;
  if (!from) return;
  img_struct* to = (passed & 2) ? kx::image_or_page(destination) : write_page;
  if (!to) return;
  if (!from->pal || !to->pal) {
    error(err::illegal_function_call);
    return;
  }
  if (from->pal != to->pal) std::memcpy(to->pal, from->pal, 256 * sizeof(uint32_t));
}
