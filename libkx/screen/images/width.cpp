// WIDTH: the printer's line width, the size of 32-bit and 256-colour
// images, the text screen's size, and the font of pixel screens.
#include <cstdlib>

#include "base/error.h"
#include "base/hooks.h"
#include "screen/fonts/fonts.h"
#include "screen/images/display_lock.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "values/mem_lock.h"

namespace {

// Re-makes an image at a new size with its buffer cleared and its mode's
// defaults, keeping its colours and font.
void resize_image(img_struct& image, int32_t width, int32_t height) {
  if (width > image_size_max || height > image_size_max) {
    error(err::illegal_function_call);
    return;
  }
  const uint64_t bytes = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * image.bytes_per_pixel;
  uint8_t* data = image.data;
  if (image.flags & img_owns_data) {
    data = static_cast<uint8_t*>(std::realloc(image.data, bytes));
    if (!data) {
      error(err::out_of_memory);
      return;
    }
  } else if (bytes > kx::image_bytes(image)) {
    // A buffer it does not own cannot grow: give it one of its own.
    data = static_cast<uint8_t*>(std::malloc(bytes));
    if (!data) {
      error(err::out_of_memory);
      return;
    }
    image.flags |= img_owns_data;
  }
  const uint32_t color = image.color, background = image.background_color, font = image.font;
  // _MEMIMAGE values of the old buffer must not reach the new one (or the
  // freed one): they lose their lock, and the next _MEMIMAGE makes another.
  if (image.lock) {
    free_mem_lock(image.lock);
    image.lock = nullptr;
    image.lock_id = 0;
  }
  image.data = data;
  image.width = static_cast<uint16_t>(width);
  image.height = static_cast<uint16_t>(height);
  imgrevert(kx::image_index(&image));
  image.color = color;
  image.background_color = background;
  image.draw_color = color;
  selectfont(static_cast<int32_t>(font), &image);
}

void resize_under_lock(img_struct& image, int32_t width, int32_t height) {
  if (image.flags & img_screen_page) {
    kx::display_lock hold;
    kx::screen_last_valid_reset();
    resize_image(image, width, height);
  } else {
    resize_image(image, width, height);
  }
}

void run_screen_zero() { kxg_screen(0, 0, 0, 0, 1); }

// The font that WIDTH's counts give on a pixel page, or 0 when no rule
// matches.
int32_t pixel_font_for(const img_struct& page_image, int32_t columns, int32_t rows, bool has_columns, bool has_rows) {
  const int32_t w = page_image.width, h = page_image.height;
  switch (page_image.mode) {
    case 1:
    case 2:
    case 7:
    case 8:
    case 13:
      if ((!has_columns || columns * 8 == w) && (!has_rows || rows * 8 == h)) return 8;
      return 0;
    case 9:
    case 10:
      if (has_columns && has_rows) {
        if (columns * 8 != w) return 0;
        if (rows * 14 == h) return 14;
        if (rows == 43 && h == 350) return 8;
        return 0;
      }
      if (has_rows) {
        if (rows * 8 == h) return 8;
        if (rows * 14 == h) return 14;
        if (rows == 43 && h == 350) return 8;
        return 0;
      }
      if (columns * 8 == w) return fontheight[page_image.font] > 8 ? 14 : 8;
      return 0;
    case 11:
    case 12:
      if (has_rows) {
        if (has_columns && columns * 8 != w) return 0;
        if (rows * 8 == h) return 8;
        if (rows * 16 == h) return 16;
        return 0;
      }
      if (columns * 8 == w) return fontheight[page_image.font] > 8 ? 16 : 8;
      return 0;
    default:
      return 0;
  }
}

void width_of_text_screen(img_struct& screen, int32_t columns, int32_t rows, bool has_columns, bool has_rows) {
  if (!has_columns) columns = screen.width;
  if (!has_rows) rows = screen.height;
  if (columns > image_size_max || rows > image_size_max) {
    error(err::illegal_function_call);
    return;
  }
  const int32_t font = kx::text_font_for(columns, rows);
  if (font == static_cast<int32_t>(screen.font) && columns == screen.width && rows == screen.height) return;
  if (!(screen.flags & img_screen_page)) {
    // An off-screen text image changes its own size.
    resize_under_lock(screen, columns, rows);
    if (!new_error.load()) selectfont(font, &screen);
    return;
  }
  kx::pending_width = {columns, rows, font};
  run_screen_zero();
}

}  // namespace

void kx::screen_last_valid_reset() { screen_last_valid = 0; }

void kxsub_width(int32_t option, int32_t columns, int32_t rows, int32_t passed) {
  if (new_error.load()) return;
  const bool has_columns = passed & 1;
  const bool has_rows = passed & 2;
  if (option == kx_width_lprint) {
    if (!has_columns || columns < 1 || columns > 255) {
      error(err::illegal_function_call);
      return;
    }
    width_lprint = columns;
    return;
  }
  if (option != kx_width_screen) {
    error(err::illegal_function_call);
    return;
  }
  width8050switch = 0;
  if ((has_columns && columns < 1) || (has_rows && rows < 1)) {
    error(err::illegal_function_call);
    return;
  }
  if (!has_columns && !has_rows) return;
  img_struct& target = *write_page;
  if (target.mode == 32 || target.mode == 256) {
    const int32_t fw = fontwidth[target.font] ? fontwidth[target.font] : 1;
    const int64_t width = has_columns ? int64_t{columns} * fw : target.width;
    const int64_t height = has_rows ? int64_t{rows} * fontheight[target.font] : target.height;
    if (width > image_size_max || height > image_size_max) {
      error(err::illegal_function_call);
      return;
    }
    if (width != target.width || height != target.height) {
      resize_under_lock(target, static_cast<int32_t>(width), static_cast<int32_t>(height));
      kx::hooks.key_line_redraw.load()();
    }
    return;
  }
  if (target.mode == 0) {
    width_of_text_screen(target, columns, rows, has_columns, has_rows);
    return;
  }
  const int32_t font = pixel_font_for(target, columns, rows, has_columns, has_rows);
  if (font) {
    if (font == static_cast<int32_t>(target.font)) return;
    const uint32_t color = target.color, background = target.background_color;
    const auto window = target.graphics;
    imgrevert(kx::image_index(&target));
    target.color = color;
    target.background_color = background;
    target.draw_color = color;
    target.graphics.window_x1 = window.window_x1;
    target.graphics.window_y1 = window.window_y1;
    target.graphics.window_x2 = window.window_x2;
    target.graphics.window_y2 = window.window_y2;
    selectfont(font, &target);
    kx::hooks.key_line_redraw.load()();
    return;
  }
  if (!(target.flags & img_screen_page)) {
    error(err::illegal_function_call);
    return;
  }
  // No font fits the pixel page: the screen becomes text.
  if ((has_columns && columns != 40 && columns != 80) ||
      (has_rows && rows != 25 && rows != 43 && rows != 50)) {
    error(err::illegal_function_call);
    return;
  }
  kx::pending_width = {has_columns ? columns : 0, has_rows ? rows : 0, 0};
  if (has_columns && has_rows) {
    kx::pending_width.font = kx::text_font_for(columns, rows);
  }
  run_screen_zero();
}
