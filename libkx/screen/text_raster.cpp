#include "screen/text_raster.h"

#include "screen/fonts.h"

void kx::draw_text_cell(uint32_t* frame, int32_t frame_width, int32_t column, int32_t row, uint32_t font, uint16_t cell,
                        const text_cell_style& style, cursor_rows cursor) {
  const int32_t cw = fontwidth[font], ch = fontheight[font];
  const uint8_t c = cell & 0xFF, a = cell >> 8;
  const uint32_t fg_index = a & 15;
  uint32_t bg_index, shown_fg_index = fg_index;
  if (style.blink_enabled) {
    bg_index = (a >> 4) & 7;
    if ((a & 0x80) && style.flashing_phase) shown_fg_index = bg_index;
  } else {
    bg_index = a >> 4;
  }
  const uint32_t fg = style.palette[shown_fg_index], bg = style.palette[bg_index];
  const uint32_t cursor_colour = style.palette[fg_index];
  uint32_t* out = frame + int64_t(row) * ch * frame_width + int64_t(column) * cw;
  if (!is_builtin_font(font)) {
    // No font engine: a loaded font cannot exist, so its cells stay blank.
    for (int32_t y = 0; y < ch; ++y, out += frame_width)
      for (int32_t x = 0; x < cw; ++x) out[x] = bg;
    return;
  }
  const uint8_t* glyph = glyph_rows(font, c);
  const bool doubled = is_doubled_font(font);
  for (int32_t y = 0; y < ch; ++y, out += frame_width, glyph += 8) {
    if (y >= cursor.first && y < cursor.first + cursor.count) {
      for (int32_t x = 0; x < cw; ++x) out[x] = cursor_colour;
      continue;
    }
    if (doubled) {
      for (int32_t x = 0; x < 8; ++x) out[2 * x] = out[2 * x + 1] = glyph[x] ? fg : bg;
    } else {
      for (int32_t x = 0; x < 8; ++x) out[x] = glyph[x] ? fg : bg;
    }
  }
}
