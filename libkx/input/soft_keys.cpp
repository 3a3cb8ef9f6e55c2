#include "input/soft_keys.h"

#include <array>
#include <string>

#include "base/error.h"
#include "base/hooks.h"
#include "input/trap_sources.h"
#include "screen/fonts/fonts.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "screen/text/print.h"
#include "values/string_create.h"
#include "values/string_descriptor.h"
#include "values/string_release.h"

int32_t key_display = 0;
int32_t key_display_state = 0;
int32_t key_display_redraw = 0;

namespace {

constexpr int soft_key_count = 12;
constexpr int first_trap_key = 15, last_trap_key = 29;
constexpr int f11_entry = 30, f12_entry = 31;

// The key line shows control characters as these glyphs instead of acting
// on them.
struct substitute {
  uint8_t control, glyph;
};
constexpr std::array<substitute, 11> key_line_glyphs{{
    {7, 14}, {8, 254}, {9, 26}, {10, 60}, {11, 127}, {12, 22}, {13, 27}, {28, 16}, {29, 17}, {30, 24}, {31, 25},
}};

uint8_t key_line_glyph(uint8_t c) {
  for (const auto& s : key_line_glyphs) {
    if (s.control == c) return s.glyph;
  }
  return c;
}

// KEY LIST shows the same control characters as spaces.
uint8_t listed_byte(uint8_t c) { return (c >= 7 && c <= 13) || (c >= 28 && c <= 31) ? ' ' : c; }

// What the drawing changes on the screen page and puts back afterwards:
// _DEST, the cursor, its holding and both colours.
class screen_state_kept {
 public:
  explicit screen_state_kept(img_struct& screen)
      : dest_(write_page),
        dest_index_(write_page_index),
        screen_(screen),
        x_(screen.cursor_x),
        y_(screen.cursor_y),
        holding_(screen.holding_cursor),
        color_(screen.color),
        background_(screen.background_color) {
    write_page = &screen;
    write_page_index = kx::image_index(&screen);
  }
  ~screen_state_kept() {
    screen_.cursor_x = x_;
    screen_.cursor_y = y_;
    screen_.holding_cursor = holding_;
    restore_colours();
    write_page = dest_;
    write_page_index = dest_index_;
  }
  void restore_colours() {
    screen_.color = color_;
    screen_.background_color = background_;
  }
  uint32_t background() const { return background_; }
  screen_state_kept(const screen_state_kept&) = delete;
  screen_state_kept& operator=(const screen_state_kept&) = delete;

 private:
  img_struct* dest_;
  int32_t dest_index_;
  img_struct& screen_;
  int32_t x_, y_;
  uint8_t holding_;
  uint32_t color_, background_;
};

// The key line's geometry, in the cursor's units: columns, or pixels for a
// proportional font.
struct key_line_layout {
  int32_t leeway = 0;
  int32_t slot = 0;
  int32_t limit = 0;
};

key_line_layout layout_for(int32_t w, bool proportional, int32_t font_height) {
  key_line_layout l;
  l.slot = w / soft_key_count;
  if (!proportional) {
    l.limit = l.slot * soft_key_count;
    if (l.slot <= 7) {
      l.slot = 8;
      l.limit = (w / 8) * 8;
      if (w < 8) l.slot = l.limit = w;
    }
    return l;
  }
  l.leeway = font_height;
  l.limit = l.slot * soft_key_count - l.leeway;
  const int32_t m = 8 * (font_height / 2) + l.leeway;
  if (l.slot < m) {
    l.slot = m;
    l.limit = (w / m) * m - l.leeway;
    if (w < m) {
      l.slot = w;
      l.limit = w - l.leeway;
    }
  }
  return l;
}

// Blanks the bottom text row of a pixel screen in its background colour,
// opaque, clipped to the image.
void clear_pixel_row(img_struct& image, int32_t row, int32_t font_height, uint32_t background) {
  const int64_t first = int64_t{row - 1} * font_height;
  int64_t end = int64_t{row} * font_height;
  if (end > image.height) end = image.height;
  for (int64_t y = first < 0 ? 0 : first; y < end; ++y) {
    for (int64_t x = 0; x < image.width; ++x) {
      const uint64_t at = uint64_t(y) * image.width + uint64_t(x);
      if (image.bytes_per_pixel == 4) {
        kx::pixels32(image)[at] = background | 0xFF000000u;
      } else {
        image.data[at] = static_cast<uint8_t>(background & image.mask);
      }
    }
  }
}

// Writes one slot's characters, each ending the slot or the whole line by
// the layout's rules.
class slot_writer {
 public:
  slot_writer(img_struct& image, bool proportional, int32_t right_edge, int32_t limit)
      : image_(image), proportional_(proportional), right_(right_edge), limit_(limit) {}

  // False once the slot (or the line) has ended.
  bool put(uint8_t c) {
    if (slot_over_) return false;
    const int32_t column = image_.cursor_x;
    if (column >= limit_) {
      slot_over_ = line_over_ = true;
      return false;
    }
    if (column > right_) {
      slot_over_ = true;
      return false;
    }
    printchr(c);
    image_.cursor_x += proportional_ ? chrwidth(c) : 1;
    if (column == right_) slot_over_ = true;
    return !slot_over_;
  }
  bool line_over() const { return line_over_; }

 private:
  img_struct& image_;
  bool proportional_;
  int32_t right_, limit_;
  bool slot_over_ = false, line_over_ = false;
};

void draw_key_line(img_struct& screen, screen_state_kept& kept) {
  const bool text = screen.text;
  const int32_t fw = text ? 1 : fontwidth[screen.font];
  const int32_t fh = text ? 1 : fontheight[screen.font];
  const bool proportional = !text && fw == 0;
  const int32_t h = kx::text_rows(screen);
  const int32_t w = text ? screen.width : proportional ? screen.width : screen.width / fw;
  // An image shorter than one text row has no row for the line.
  if (h < 1 || w < 1) return;

  screen.cursor_y = h;
  screen.cursor_x = 1;
  screen.holding_cursor = 0;
  if (text) {
    for (int32_t x = 1; x <= w; ++x) {
      screen.cursor_x = x;
      printchr(' ');
    }
    screen.cursor_x = 1;
  } else {
    clear_pixel_row(screen, h, fh, screen.background_color);
  }
  if (key_display != 1) return;

  const key_line_layout l = layout_for(w, proportional, fh);
  for (int f = 1; f <= soft_key_count; ++f) {
    const int32_t right = f * l.slot - l.leeway;
    const int32_t start = (f - 1) * l.slot + 1;
    if (start >= l.limit) break;
    screen.cursor_x = start;
    slot_writer slot(screen, proportional, right, l.limit);
    std::string label = std::to_string(f);
    if (proportional) label += ')';
    bool open = true;
    for (const char c : label) {
      if (!(open = slot.put(static_cast<uint8_t>(c)))) break;
    }
    const soft_key_text key = kx::soft_key_text_of(onkey[kx::soft_key_entry(f)]);
    if (open && key.length > 0) {
      if (text) {
        const bool dark = kept.background() != 0;
        screen.color = dark ? 7 : 0;
        screen.background_color = dark ? 0 : 7;
      }
      for (uint8_t i = 0; i < key.length && open; ++i) open = slot.put(key_line_glyph(key.bytes[i]));
      while (open && screen.cursor_x < right) open = slot.put(' ');
    }
    kept.restore_colours();
    if (slot.line_over()) break;
  }
}

}  // namespace

int kx::soft_key_entry(int f) { return f <= 10 ? f : f + 19; }

void key_update() {
  if (key_display_redraw) {
    key_display_redraw = 0;
    if (!key_display) return;
  } else {
    if (key_display == key_display_state) return;
    key_display_state = key_display;
  }
  img_struct* screen = kx::active_screen_page();
  if (!screen || screen->console) return;
  screen_state_kept kept(*screen);
  draw_key_line(*screen, kept);
}

void key_on() {
  if (new_error.load()) return;
  key_display = 1;
  key_update();
}

void key_off() {
  if (new_error.load()) return;
  key_display = 0;
  key_update();
}

void key_list() {
  if (new_error.load()) return;
  const img_struct& image = *write_page;
  const bool proportional = !image.text && fontwidth[image.font] == 0;
  const bool monospaced = !proportional || chrwidth(' ') == chrwidth(')');
  for (int f = 1; f <= soft_key_count; ++f) {
    std::string line = "F" + std::to_string(f);
    if (!proportional) {
      line += f <= 9 ? "  " : " ";
    } else {
      line += f <= 9 && monospaced ? ")  " : ") ";
    }
    const soft_key_text key = kx::soft_key_text_of(onkey[kx::soft_key_entry(f)]);
    for (uint8_t i = 0; i < key.length; ++i) line += static_cast<char>(listed_byte(key.bytes[i]));
    kxs* s = kxs_new_txt_len(line.data(), static_cast<int32_t>(line.size()));
    kxs_print(s, 1);
    kxs_free(s);
    if (new_error.load()) return;
  }
}

void key_assign(int32_t n, kxs* text) {
  if (new_error.load()) return;
  const bool soft_key = (n >= 1 && n <= 10) || n == f11_entry || n == f12_entry;
  if (soft_key) {
    if (text->length > soft_key_text_max) {
      error(err::illegal_function_call);
      return;
    }
    kx::set_soft_key_text(onkey[n], text->chars, text->length);
    key_display_redraw = 1;
    key_update();
    return;
  }
  if (n < first_trap_key || n > last_trap_key) {
    error(err::illegal_function_call);
    return;
  }
  if (text->length == 0) {
    kx::set_user_key(onkey[n], {0, kx::user_key_of(onkey[n]).shift_flags});
    return;
  }
  uint8_t flags = 0;
  for (int32_t i = 0; i + 1 < text->length; ++i) flags |= text->chars[i];
  kx::set_user_key(onkey[n], {text->chars[text->length - 1], flags});
}

void kx::soft_keys_init() {
  key_display = key_display_state = key_display_redraw = 0;
  for (auto& e : onkey) {
    set_soft_key_text(e, nullptr, 0);
    set_user_key(e, {});
  }
  hooks.key_line_redraw = [] {
    key_display_redraw = 1;
    key_update();
  };
}
