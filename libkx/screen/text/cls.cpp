#include "screen/text/cls.h"

#include <cstdlib>

#include "base/error.h"
#include "base/hooks.h"
#include "screen/fonts/fonts.h"
#include "screen/graphics/box_fill.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "screen/text/print.h"

namespace {

void fill_text_rows(img_struct& image, int32_t first_row, int32_t last_row, uint16_t cell) {
  if (first_row < 1) first_row = 1;
  if (last_row > image.height) last_row = image.height;
  if (first_row > last_row) return;
  kx::fill_cells(image, uint64_t(first_row - 1) * image.width, uint64_t(last_row - first_row + 1) * image.width, cell);
}

// The rectangle clamped to the image; the fill replaces pixels (no
// blending on 32-bit images).
void fill_pixels(img_struct& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill) {
  if (x1 < 0) x1 = 0;
  if (y1 < 0) y1 = 0;
  if (x2 >= image.width) x2 = image.width - 1;
  if (y2 >= image.height) y2 = image.height - 1;
  if (x1 > x2 || y1 > y2) return;
  kx::fill_rectangle(image, x1, y1, x2, y2, fill, kx::fill_write::replace);
}

void fill_viewport_or_all(img_struct& image, uint32_t fill) {
  const auto& g = image.graphics;
  if (g.clipping_or_scaling) {
    fill_pixels(image, g.view_x1, g.view_y1, g.view_x2, g.view_y2, fill);
  } else {
    fill_pixels(image, 0, 0, image.width - 1, image.height - 1, fill);
  }
}

}  // namespace

void kx::clear_image(img_struct& image, int32_t method, uint32_t fill) {
  image.cursor_x = 1;
  image.cursor_y = image.top_row;
  image.graphics.draw_angle = 0;
  image.graphics.draw_scale = 1;
  if (image.text) {
    const uint16_t cell = text_cell(' ', fill_attribute(image, fill));
    switch (method) {
      case -1:
        fill_text_rows(image, image.top_row, image.bottom_row, cell);
        fill_text_rows(image, image.height, image.height, cell);
        break;
      case 0:
        fill_text_rows(image, 1, image.height, cell);
        break;
      case 2:
        fill_text_rows(image, image.top_row, image.bottom_row, cell);
        break;
      default:
        break;
    }
  } else {
    switch (method) {
      case 0:
        fill_pixels(image, 0, 0, image.width - 1, image.height - 1, fill);
        break;
      case 2: {
        const int32_t fh = fontheight[image.font];
        fill_pixels(image, 0, (image.top_row - 1) * fh, image.width - 1, image.bottom_row * fh - 1, fill);
        break;
      }
      default:
        fill_viewport_or_all(image, fill);
        break;
    }
  }
  if (method == 2) return;
  auto& g = image.graphics;
  if (g.clipping_or_scaling == 2) {
    g.x = g.window_x1 + (g.window_x2 - g.window_x1) / 2;
    g.y = g.window_y1 + (g.window_y2 - g.window_y1) / 2;
  } else if (!image.text) {
    g.x = (g.view_x2 - g.view_x1 + 1) / 2.0f;
    g.y = (g.view_y2 - g.view_y1 + 1) / 2.0f;
  }
}

void sub_cls(int32_t method, uint32_t colour, int32_t passed) {
  if (new_error.load()) return;
  img_struct& image = *write_page;
  if (image.console) {
    if (std::system("clear") == -1) return;
    return;
  }
  const bool has_method = passed & 1, has_colour = passed & 2;
  if ((has_method && (method < 0 || method > 2)) || (has_colour && image.bytes_per_pixel == 1 && !image.text && colour > image.mask)) {
    error(err::illegal_function_call);
    return;
  }
  kx::clear_image(image, has_method ? method : -1, has_colour ? colour : image.background_color);
  if (!has_method || method != 2) kx::hooks.key_line_redraw.load()();
}
