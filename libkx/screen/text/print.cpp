#include "screen/text/print.h"

#include <cstdio>
#include <cstring>

#include "base/clock.h"
#include "base/error.h"
#include "screen/fonts/fonts.h"
#include "screen/graphics/box_fill.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/text/cls.h"
#include "screen/text/console_output.h"
#include "screen/text/glyph_paint.h"
#include "screen/text/loaded_font_glyphs.h"
#include "screen/text/lprint.h"
#include "values/string_descriptor.h"

int32_t no_control_characters2 = 0;
int32_t no_control_characters = 0;

namespace {

constexpr uint8_t key_right = 28, key_left = 29, key_up = 30, key_down = 31;
constexpr uint8_t form_feed = 12, home = 11, tab_key = 9, bell = 7, line_feed = 10, carriage_return = 13;
constexpr uint32_t bell_ms = 250;
constexpr int32_t tab_stop = 8;
constexpr int32_t zone_width = 14;
// Proportional fonts: tab stops and print zones in pixels.
constexpr int32_t proportional_tab_stop = 64;
constexpr int32_t proportional_zone_width = 112;

bool control_characters_on() { return !no_control_characters && !no_control_characters2; }

bool proportional(const img_struct& image) { return fontwidth[image.font] == 0; }

// A loaded font's glyph at the cursor: its cell for a fixed width, the
// cursor's pixel offset for a proportional font.
void paint_at_cursor(img_struct& image, const kx::rendered_glyph& glyph) {
  const int32_t x0 = proportional(image) ? image.cursor_x - 1 : (image.cursor_x - 1) * fontwidth[image.font];
  kx::paint_coverage(image, x0, (image.cursor_y - 1) * fontheight[image.font], glyph);
}

// Draws c at the image's cursor cell.
void draw_character(img_struct& image, uint32_t c) {
  const int32_t cx = image.cursor_x - 1, cy = image.cursor_y - 1;
  if (image.text) {
    if (cx < 0 || cy < 0 || cx >= image.width || cy >= image.height) return;
    const uint8_t attribute =
        static_cast<uint8_t>((image.color & 0x10) * 8 + image.background_color * 16 + (image.color & 15));
    kx::set_cell(image, uint64_t(cy) * image.width + cx, kx::text_cell(static_cast<uint8_t>(c), attribute));
    return;
  }
  const uint32_t font = image.font;
  if (kx::is_loaded_font(font)) {
    kx::rendered_glyph glyph;
    if (kx::render_character(image, c, glyph)) paint_at_cursor(image, glyph);
    return;
  }
  kx::paint_builtin_glyph(image, int64_t{cx} * fontwidth[font], int64_t{cy} * fontheight[font], static_cast<uint8_t>(c),
                          kx::glyph_clip::image);
}

void scroll_pixels(img_struct& image) {
  const int32_t fh = fontheight[image.font];
  const uint64_t stride = uint64_t{image.width} * image.bytes_per_pixel;
  int64_t first = int64_t(image.top_row - 1) * fh;
  int64_t end = int64_t(image.bottom_row) * fh;  // one past the last pixel row
  if (end > image.height) end = image.height;
  if (first < 0 || first >= end) return;
  const int64_t moved = end - first - fh;
  if (moved > 0) std::memmove(image.data + first * stride, image.data + (first + fh) * stride, uint64_t(moved) * stride);
  const int64_t blank_from = moved > 0 ? first + moved : first;
  kx::fill_rectangle(image, 0, static_cast<int32_t>(blank_from), image.width - 1, static_cast<int32_t>(end - 1),
                     image.background_color, kx::fill_write::replace);
}

// One character: a control code acting, or a glyph and the cursor moving.
// Returns true when a wrap performed a new line.
bool put_character(const kx::print_target& to, uint32_t c, bool last, bool end_line);

// Fills the cursor's text row of a pixel image from the cursor's pixel
// offset up to the next multiple of stop pixels with the background colour
// and moves there; past the right edge, fills to the edge and starts a new
// line. Proportional fonts' tab and print zones.
void fill_to_pixel_stop(const kx::print_target& to, int32_t stop) {
  img_struct& image = *to.image;
  const int32_t from = image.cursor_x - 1;
  const int32_t target = (from / stop + 1) * stop;
  const int32_t to_x = target < image.width ? target : image.width;
  const int32_t fh = fontheight[image.font];
  const int32_t top = (image.cursor_y - 1) * fh;
  const int32_t y1 = top < 0 ? 0 : top, y2 = top + fh < image.height ? top + fh - 1 : image.height - 1;
  const int32_t x1 = from < 0 ? 0 : from;
  if (x1 < to_x && y1 <= y2) kx::fill_rectangle(image, x1, y1, to_x - 1, y2, image.background_color);
  if (target >= image.width) {
    kx::new_line(to);
  } else {
    image.cursor_x = target + 1;
  }
}

// After a character: a cursor past the last column wraps to a new line,
// unless this was the string's last character without a line end, which
// holds the cursor on the last column. True when a new line was made.
bool wrap_after(const kx::print_target& to, bool last, bool end_line) {
  img_struct& image = *to.image;
  if (image.cursor_x <= to.last_column) return false;
  if (!last || end_line) {
    kx::new_line(to);
    return true;
  }
  image.cursor_x = to.last_column;
  image.holding_cursor = 1;
  return false;
}

// A character of a loaded font: a proportional glyph that does not fit in
// the rest of the line goes to the next one; the cursor moves by one cell
// or by the glyph's width in pixels.
bool put_loaded_character(const kx::print_target& to, uint32_t c, bool last, bool end_line) {
  img_struct& image = *to.image;
  kx::rendered_glyph glyph;
  const bool rendered = kx::render_character(image, c, glyph);
  const bool by_pixels = proportional(image);
  if (by_pixels && image.cursor_x > 1 && image.cursor_x - 1 + glyph.w > image.width) kx::new_line(to);
  if (rendered) paint_at_cursor(image, glyph);
  image.cursor_x += by_pixels ? glyph.w : 1;
  return wrap_after(to, last, end_line);
}

void print_space(const kx::print_target& to, bool last, bool end_line) { put_character(to, ' ', last, end_line); }

bool put_character(const kx::print_target& to, uint32_t c, bool last, bool end_line) {
  img_struct& image = *to.image;
  const int32_t columns = to.last_column;
  if (c < 32 && control_characters_on()) {
    int32_t& x = image.cursor_x;
    int32_t& y = image.cursor_y;
    switch (c) {
      case key_right:
        if (y < image.bottom_row || x < columns) {
          if (++x > columns) {
            ++y;
            x = 1;
          }
        }
        return false;
      case key_left:
        if ((y != image.top_row && y <= image.bottom_row) || x != 1) {
          if (--x == 0) {
            --y;
            x = columns;
          }
        }
        return false;
      case key_up:
        if (image.top_row < y && y <= image.bottom_row) --y;
        return false;
      case key_down:
        if (image.top_row <= y && y < image.bottom_row) ++y;
        return false;
      case form_feed:
        if (to.printer) {
          kx::printer_page_out();
          lpos = 1;
        } else {
          kx::clear_image(image, -1, image.background_color);
        }
        return false;
      case home:
        x = 1;
        y = image.top_row;
        return false;
      case tab_key: {
        if (!image.text && proportional(image)) {
          fill_to_pixel_stop(to, proportional_tab_stop);
          return false;
        }
        // Spaces up to and including the next column that is a multiple of 8.
        bool wrapped = false;
        for (;;) {
          const int32_t column = x;
          wrapped = put_character(to, ' ', last && column % tab_stop == 0, end_line);
          if (column % tab_stop == 0 || wrapped) break;
        }
        return wrapped;
      }
      case bell:
        Sleep(bell_ms);
        return false;
      case line_feed:
      case carriage_return:
        kx::new_line(to);
        if (to.printer) lpos = 1;
        return false;
      default:
        break;
    }
  }
  if (!image.text && kx::is_loaded_font(image.font)) return put_loaded_character(to, c, last, end_line);
  draw_character(image, c);
  ++image.cursor_x;
  return wrap_after(to, last, end_line);
}

}  // namespace

uint8_t kx::fill_attribute(const img_struct& image, uint32_t background) {
  return static_cast<uint8_t>(((background & 7) << 4) | ((image.color & 0x10) << 3) | (image.color & 15));
}

void kx::scroll_up(img_struct& image) {
  if (!image.text) {
    scroll_pixels(image);
    return;
  }
  const int32_t top = image.top_row, bottom = image.bottom_row > image.height ? image.height : image.bottom_row;
  if (top < 1 || top > bottom) return;
  const uint64_t w = image.width;
  if (bottom > top) std::memmove(image.data + (top - 1) * w * 2, image.data + top * w * 2, (bottom - top) * w * 2);
  fill_cells(image, (bottom - 1) * w, w, text_cell(' ', fill_attribute(image, image.background_color)));
}

void kx::new_line(const print_target& to) {
  img_struct& image = *to.image;
  image.cursor_x = 1;
  if (++image.cursor_y <= image.bottom_row) return;
  if (to.printer) {
    printer_page_out();
    return;
  }
  scroll_up(image);
  image.cursor_y = image.bottom_row;
}

kx::print_target kx::screen_target() { return {write_page, text_columns(*write_page), false}; }

void kx::print_bytes(const print_target& to, const uint8_t* bytes, int32_t length, bool end_line) {
  img_struct& image = *to.image;
  if (image.holding_cursor) {
    if (length > 0) {
      image.holding_cursor = 0;
      new_line(to);
    } else if (end_line) {
      image.holding_cursor = 0;
    }
  }
  const bool unicode = !image.text && fontflags[image.font] & fontflag_unicode;
  const int32_t step = unicode ? 4 : 1;
  // A trailing partial group of a code point is ignored.
  const int32_t usable = unicode ? length - length % 4 : length;
  bool wrapped = false;
  for (int32_t i = 0; i < usable; i += step) {
    uint32_t c = bytes[i];
    if (unicode) std::memcpy(&c, bytes + i, 4);
    const bool last = i + step >= usable;
    wrapped = put_character(to, c, last, end_line);
    if (!last) wrapped = false;
  }
  if (end_line && !wrapped) new_line(to);
}

void kx::fit(const print_target& to, const uint8_t* bytes, int32_t length) {
  const img_struct& image = *to.image;
  if (image.holding_cursor || image.cursor_x == 1) return;
  if (!image.text && proportional(image)) {
    if (image.cursor_x - 1 + text_pixel_width(image, bytes, length) > image.width) new_line(to);
    return;
  }
  if (image.cursor_x + length - 1 > to.last_column) new_line(to);
}

int32_t kx::text_pixel_width(const img_struct& image, const uint8_t* bytes, int32_t length) {
  if (image.text) return length;
  if (!is_loaded_font(image.font)) return length * fontwidth[image.font];
  const bool unicode = fontflags[image.font] & fontflag_unicode;
  const int32_t step = unicode ? 4 : 1;
  int64_t width = 0;
  for (int32_t i = 0; i + step <= length; i += step) {
    uint32_t c = bytes[i];
    if (unicode) std::memcpy(&c, bytes + i, 4);
    width += loaded_character_width(image, c);
  }
  return width > INT32_MAX ? INT32_MAX : static_cast<int32_t>(width);
}

void kx::next_zone(const print_target& to) {
  img_struct& image = *to.image;
  if (image.holding_cursor) {
    new_line(to);
    image.holding_cursor = 0;
    return;
  }
  if (!image.text && proportional(image)) {
    fill_to_pixel_stop(to, proportional_zone_width);
    return;
  }
  const int32_t columns = to.last_column;
  do {
    print_space(to, false, false);
    const int32_t x = image.cursor_x;
    if (x == 1 || x == columns || ((x - 1) % zone_width == 0 && x < columns - 12)) break;
  } while (true);
}

int32_t kx::reported_column(const img_struct& image) { return image.holding_cursor ? 1 : image.cursor_x; }

void kxs_print(kxs* s, uint8_t newline) {
  if (new_error.load()) return;
  img_struct& image = *write_page;
  if (image.console) {
    kx::console_print(image, s->chars, s->length, newline != 0);
    return;
  }
  kx::print_bytes(kx::screen_target(), s->chars, s->length, newline != 0);
}

void makefit(kxs* s) {
  if (new_error.load()) return;
  if (write_page->console) {
    kx::console_fit(*write_page, s->length);
    return;
  }
  kx::fit(kx::screen_target(), s->chars, s->length);
}

void tab() {
  if (new_error.load()) return;
  if (write_page->console) {
    kx::console_next_zone(*write_page);
    return;
  }
  kx::next_zone(kx::screen_target());
}

void printchr(int32_t c) { draw_character(*write_page, static_cast<uint32_t>(c)); }

int32_t chrwidth(uint32_t c) {
  const img_struct& image = *write_page;
  if (!image.text && kx::is_loaded_font(image.font)) return kx::loaded_character_width(image, c);
  return fontwidth[image.font];
}

void newline() { kx::new_line(kx::screen_target()); }
