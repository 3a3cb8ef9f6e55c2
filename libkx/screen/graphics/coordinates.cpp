#include "screen/graphics/coordinates.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/error.h"
#include "screen/graphics/box_fill.h"
#include "screen/images/blend.h"
#include "screen/images/image_table.h"
#include "values/rounding.h"

namespace {

constexpr uint8_t no_viewport = 0;
constexpr uint8_t viewport_only = 1;
constexpr uint8_t window_scaling = 2;

// The WINDOW transform for the current viewport from the stored bounds. A
// WINDOW without SCREEN stores its bounds with y1 above y2, and y then grows
// upward from the viewport's bottom edge. WINDOW and VIEW both use this, so
// the mapping does not depend on which of the two came first.
//
// The transform lands in the space the view offset is added to: relative to
// the viewport's corner after VIEW, whose offset is that corner, but in the
// image's own pixels after VIEW SCREEN, whose offset is 0. The corner's
// distance from the offset is therefore part of the transform, so that the
// WINDOW spans the viewport either way.
void fit_window_to_viewport(kx::graphics_state& g) {
  const auto origin_x = static_cast<float>(g.view_x1 - g.view_offset_x);
  const auto origin_y = static_cast<float>(g.view_y1 - g.view_offset_y);
  g.scaling_x = static_cast<float>(g.view_x2 - g.view_x1) / (g.window_x2 - g.window_x1);
  g.scaling_y = static_cast<float>(g.view_y2 - g.view_y1) / (g.window_y2 - g.window_y1);
  g.scaling_offset_x = origin_x - g.window_x1 * g.scaling_x;
  g.scaling_offset_y = origin_y - g.window_y1 * g.scaling_y;
  if (g.window_y2 < g.window_y1) {
    g.scaling_offset_y = origin_y + static_cast<float>(g.view_y2 - g.view_y1) - g.window_y2 * g.scaling_y;
  }
}

void drop_window(kx::graphics_state& g, const img_struct& image) {
  g.scaling_x = g.scaling_y = 1;
  g.scaling_offset_x = g.scaling_offset_y = 0;
  g.window_x1 = g.window_y1 = 0;
  g.window_x2 = static_cast<float>(image.width - 1);
  g.window_y2 = static_cast<float>(image.height - 1);
}

bool viewport_is_whole_image(const kx::graphics_state& g, const img_struct& image) {
  return g.view_x1 == 0 && g.view_y1 == 0 && g.view_x2 == image.width - 1 && g.view_y2 == image.height - 1 &&
         g.view_offset_x == 0 && g.view_offset_y == 0;
}

// The one-pixel frame just outside the viewport, skipping pixels off the
// image. The top-left corner is written twice, as the old machine did.
void view_border(img_struct& image, uint32_t colour) {
  const auto& g = image.graphics;
  auto put = [&](int32_t x, int32_t y) {
    if (x >= 0 && y >= 0 && x < image.width && y < image.height) pset(x, y, colour);
  };
  for (int32_t x = g.view_x1 - 1; x <= g.view_x2; ++x) put(x, g.view_y1 - 1);
  for (int32_t x = g.view_x1 - 1; x <= g.view_x2; ++x) put(x, g.view_y2 + 1);
  for (int32_t y = g.view_y1 - 1; y <= g.view_y2; ++y) put(g.view_x1 - 1, y);
  for (int32_t y = g.view_y1 - 1; y <= g.view_y2 + 1; ++y) put(g.view_x2 + 1, y);
}

}  // namespace

img_struct* kx::graphics_destination() {
  if (new_error) return nullptr;
  if (write_page->text) {
    error(err::illegal_function_call);
    return nullptr;
  }
  return write_page;
}

kx::exact_point kx::to_scaled(const graphics_state& g, float x, float y) {
  if (g.clipping_or_scaling != window_scaling) return {x, y};
  auto scale = [](float v, float by, float offset) {
    const float single = v * by + offset;
    return std::isfinite(single) ? double(single) : double(v) * by + offset;
  };
  return {scale(x, g.scaling_x, g.scaling_offset_x), scale(y, g.scaling_y, g.scaling_offset_y)};
}

kx::pixel_point kx::scaled_to_pixel(const graphics_state& g, exact_point scaled) {
  // NaN passes the clamp and rounds to INT32_MIN, which no viewport holds.
  auto pull_in = [](double v) { return kxr_double_to_long(std::clamp(v, -pixel_reach, pixel_reach)); };
  pixel_point p{pull_in(scaled.x), pull_in(scaled.y)};
  if (g.clipping_or_scaling != no_viewport) {
    p.x += g.view_offset_x;
    p.y += g.view_offset_y;
  }
  return p;
}

kx::pixel_point kx::to_pixel(const graphics_state& g, float x, float y) {
  return scaled_to_pixel(g, to_scaled(g, x, y));
}

kx::exact_point kx::to_pixel_exact(const graphics_state& g, double x, double y) {
  if (g.clipping_or_scaling == window_scaling) {
    return {g.view_offset_x + (x * g.scaling_x + g.scaling_offset_x), g.view_offset_y + (y * g.scaling_y + g.scaling_offset_y)};
  }
  if (g.clipping_or_scaling == viewport_only) return {x + g.view_offset_x, y + g.view_offset_y};
  return {x, y};
}

kx::exact_point kx::to_logical_exact(const graphics_state& g, double px, double py) {
  if (g.clipping_or_scaling == window_scaling) {
    return {(px - g.view_offset_x - g.scaling_offset_x) / g.scaling_x,
            (py - g.view_offset_y - g.scaling_offset_y) / g.scaling_y};
  }
  if (g.clipping_or_scaling == viewport_only) return {px - g.view_offset_x, py - g.view_offset_y};
  return {px, py};
}

kx::exact_point kx::cursor_in_viewport_pixels(const graphics_state& g) {
  if (g.clipping_or_scaling == window_scaling) {
    return {g.x * g.scaling_x + g.scaling_offset_x, g.y * g.scaling_y + g.scaling_offset_y};
  }
  return {g.x, g.y};
}

void kxg_sub_window(float x1, float y1, float x2, float y2, int32_t passed) {
  img_struct* image = kx::graphics_destination();
  if (!image) return;
  if ((passed & 2) && !(passed & 1)) {
    error(err::illegal_function_call);
    return;
  }
  auto& g = image->graphics;
  if (passed & 1) {
    if (x1 == x2 || y1 == y2) {
      error(err::illegal_function_call);
      return;
    }
  }
  // The cursor keeps its place on the screen across the change of mapping.
  float cursor_x = g.x, cursor_y = g.y;
  if (g.clipping_or_scaling == window_scaling) {
    cursor_x = g.x * g.scaling_x + g.scaling_offset_x;
    cursor_y = g.y * g.scaling_y + g.scaling_offset_y;
  }
  if (passed & 1) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (!(passed & 2)) std::swap(y1, y2);
    g.clipping_or_scaling = window_scaling;
    g.window_x1 = x1;
    g.window_y1 = y1;
    g.window_x2 = x2;
    g.window_y2 = y2;
    fit_window_to_viewport(g);
    const bool identity = x1 == 0 && y1 == 0 && x2 == image->width - 1 && y2 == image->height - 1 &&
                          g.scaling_x == 1 && g.scaling_y == 1 && g.scaling_offset_x == 0 && g.scaling_offset_y == 0;
    if (!identity) {
      g.x = (cursor_x - g.scaling_offset_x) / g.scaling_x;
      g.y = (cursor_y - g.scaling_offset_y) / g.scaling_y;
      return;
    }
  }
  g.clipping_or_scaling = viewport_only;
  drop_window(g, *image);
  if (viewport_is_whole_image(g, *image)) g.clipping_or_scaling = no_viewport;
  g.x = cursor_x;
  g.y = cursor_y;
}

void kxg_sub_view(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill, uint32_t border, int32_t passed) {
  if (new_error) return;
  img_struct& image = *write_page;
  if (passed & 1) {
    if (x1 < 0 || x2 < 0 || y1 < 0 || y2 < 0 || x1 >= image.width || x2 >= image.width || y1 >= image.height ||
        y2 >= image.height) {
      error(err::illegal_function_call);
      return;
    }
  } else if (passed & (2 | 4 | 8)) {
    error(err::illegal_function_call);
    return;
  }
  // A text image's cells are not pixels: its viewport may be set, but a
  // fill or border would write cells as if they were.
  if (image.text && (passed & (4 | 8))) {
    error(err::illegal_function_call);
    return;
  }
  auto& g = image.graphics;
  g.draw_angle = 0;
  g.draw_scale = 1;
  if (passed & 1) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    g.view_x1 = x1;
    g.view_y1 = y1;
    g.view_x2 = x2;
    g.view_y2 = y2;
    g.view_offset_x = (passed & 2) ? 0 : x1;
    g.view_offset_y = (passed & 2) ? 0 : y1;
    if (g.clipping_or_scaling == no_viewport) g.clipping_or_scaling = viewport_only;
  } else {
    g.view_x1 = g.view_y1 = 0;
    g.view_x2 = image.width - 1;
    g.view_y2 = image.height - 1;
    g.view_offset_x = g.view_offset_y = 0;
    if (g.clipping_or_scaling == viewport_only) g.clipping_or_scaling = no_viewport;
  }
  if (g.clipping_or_scaling == window_scaling) fit_window_to_viewport(g);
  if (passed & 4) kx32_boxfill(g.window_x1, g.window_y1, g.window_x2, g.window_y2, fill);
  if (passed & 8) view_border(image, border);
}

float func_pmap(float value, int32_t n) {
  const img_struct* image = kx::graphics_destination();
  if (!image) return 0;
  const auto& g = image->graphics;
  const bool window = g.clipping_or_scaling == window_scaling;
  const float scale_x = window ? g.scaling_x : 1, scale_y = window ? g.scaling_y : 1;
  const float offset_x = window ? g.scaling_offset_x : 0, offset_y = window ? g.scaling_offset_y : 0;
  switch (n) {
    case 0:
      return static_cast<float>(kxr_float_to_long(value * scale_x + offset_x));
    case 1:
      return static_cast<float>(kxr_float_to_long(value * scale_y + offset_y));
    case 2:
      return (static_cast<float>(kxr_float_to_long(value)) - offset_x) / scale_x;
    case 3:
      return (static_cast<float>(kxr_float_to_long(value)) - offset_y) / scale_y;
    default:
      error(err::illegal_function_call);
      return 0;
  }
}
