#include "screen/graphics/pixels.h"

#include "base/error.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/blend.h"
#include "screen/images/image_table.h"
#include "values/rounding.h"

namespace {

void plot(float x, float y, uint32_t colour, int32_t passed, bool background) {
  img_struct* image = kx::graphics_destination();
  if (!image) return;
  auto& g = image->graphics;
  if (passed & 1) {
    x += g.x;
    y += g.y;
  }
  g.x = x;
  g.y = y;
  if (!(passed & 2)) colour = background ? image->background_color : image->color;
  image->draw_color = colour;
  const auto p = kx::to_pixel(g, x, y);
  if (kx::in_viewport(g, p.x, p.y)) pset(p.x, p.y, colour);
}

}  // namespace

void sub_pset(float x, float y, uint32_t colour, int32_t passed) { plot(x, y, colour, passed, false); }

void sub_preset(float x, float y, uint32_t colour, int32_t passed) { plot(x, y, colour, passed, true); }

uint32_t point(int32_t x, int32_t y) {
  const img_struct& image = *read_page;
  const uint64_t at = uint64_t(x) + uint64_t(y) * image.width;
  if (image.bytes_per_pixel == 1) return image.data[at] & image.mask;
  return kx::pixels32(image)[at];
}

void pset_and_clip(int32_t x, int32_t y, uint32_t colour) {
  if (kx::in_viewport(write_page->graphics, x, y)) pset(x, y, colour);
}

double func_point(float x, float y, int32_t passed) {
  if (new_error) return 0;
  if (passed) {
    const img_struct& source = *read_page;
    if (source.text) {
      error(err::illegal_function_call);
      return 0;
    }
    const auto p = kx::to_pixel(source.graphics, x, y);
    if (!kx::in_viewport(source.graphics, p.x, p.y)) return -1;
    return point(p.x, p.y);
  }
  const img_struct* image = kx::graphics_destination();
  if (!image) return 0;
  const auto& g = image->graphics;
  switch (kxr_float_to_long(x)) {
    case 0:
      return kxr_float_to_long(static_cast<float>(kx::cursor_in_viewport_pixels(g).x));
    case 1:
      return kxr_float_to_long(static_cast<float>(kx::cursor_in_viewport_pixels(g).y));
    case 2:
      return g.x;
    case 3:
      return g.y;
    default:
      error(err::illegal_function_call);
      return 0;
  }
}
