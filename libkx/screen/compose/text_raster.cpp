#include "screen/compose/text_raster.h"

#include <array>
#include <cstring>

#include "screen/fonts/fonts.h"

namespace {

// Four pixels at once; GCC and Clang turn these into vector instructions.
using u32x4 = uint32_t __attribute__((vector_size(16)));

// For each 8-pixel glyph row pattern (bit 7 = leftmost pixel), all-ones
// lanes where the ink is, in two or (doubled) four groups of four pixels.
struct row_masks {
  std::array<std::array<u32x4, 2>, 256> single;
  std::array<std::array<u32x4, 4>, 256> doubled;
};

const row_masks& masks() {
  static const row_masks table = [] {
    row_masks t{};
    for (int bits = 0; bits < 256; ++bits) {
      for (int x = 0; x < 8; ++x) {
        const uint32_t m = (bits >> (7 - x)) & 1 ? ~0u : 0u;
        t.single[bits][x / 4][x % 4] = m;
        t.doubled[bits][(2 * x) / 4][(2 * x) % 4] = m;
        t.doubled[bits][(2 * x + 1) / 4][(2 * x + 1) % 4] = m;
      }
    }
    return t;
  }();
  return table;
}

void store(uint32_t* out, u32x4 v) { std::memcpy(out, &v, sizeof v); }

}  // namespace

// Aligned to a cache line so that its row loops keep their alignment
// whatever code the linker places before it: the loops' speed was seen to
// swing by a third with it.
[[gnu::aligned(64)]] void kx::draw_text_cell(uint32_t* frame, int32_t frame_width, int32_t column, int32_t row, uint32_t font, uint16_t cell,
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
  const uint8_t* bits = glyph_row_bits(font, c);
  const row_masks& m = masks();
  const u32x4 bg4 = {bg, bg, bg, bg};
  const u32x4 diff4 = bg4 ^ u32x4{fg, fg, fg, fg};
  // Each glyph row is the background with the ink lanes flipped to the
  // foreground; the cursor's rows are solid.
  const auto draw_row = [&](uint32_t* row_out, uint8_t row_bits) {
    if (is_doubled_font(font)) {
      for (int i = 0; i < 4; ++i) store(row_out + 4 * i, bg4 ^ (diff4 & m.doubled[row_bits][i]));
    } else {
      store(row_out, bg4 ^ (diff4 & m.single[row_bits][0]));
      store(row_out + 4, bg4 ^ (diff4 & m.single[row_bits][1]));
    }
  };
  if (cursor.count == 0) {
    for (int32_t y = 0; y < ch; ++y, out += frame_width) draw_row(out, bits[y]);
    return;
  }
  for (int32_t y = 0; y < ch; ++y, out += frame_width) {
    if (y >= cursor.first && y < cursor.first + cursor.count) {
      for (int32_t x = 0; x < cw; ++x) out[x] = cursor_colour;
    } else {
      draw_row(out, bits[y]);
    }
  }
}
