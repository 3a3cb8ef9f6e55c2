#include "screen/fonts/fonts.h"

#include <cstring>

#include "screen/fonts/glyphs.h"

std::vector<int32_t> fontwidth;
std::vector<int32_t> fontheight;
std::vector<int32_t> fontflags;
int32_t lastfont = lastfont_initial;
uint8_t charset8x8[256 * 8 * 8];
uint8_t charset8x16[256 * 16 * 8];

namespace {
// The glyphs' rows as bit patterns, leftmost pixel in bit 7: the composer
// draws a row from one byte.
uint8_t glyph_bits8x8[256 * 8];
uint8_t glyph_bits8x16[256 * 16];

void pack_rows(const uint8_t* pixels, uint8_t* bits, size_t rows) {
  for (size_t r = 0; r < rows; ++r) {
    uint8_t b = 0;
    for (int x = 0; x < 8; ++x) b = static_cast<uint8_t>(b << 1 | (pixels[r * 8 + x] != 0));
    bits[r] = b;
  }
}
}  // namespace

void font_metrics_init() {
  lastfont = lastfont_initial;
  fontwidth.assign(static_cast<size_t>(lastfont) + 1, 0);
  fontheight.assign(static_cast<size_t>(lastfont) + 1, 0);
  fontflags.assign(static_cast<size_t>(lastfont) + 1, 0);
  for (int height : {8, 14, 16}) {
    fontwidth[static_cast<size_t>(height)] = 8;
    fontwidth[static_cast<size_t>(height) + 1] = 16;
    fontheight[static_cast<size_t>(height)] = height;
    fontheight[static_cast<size_t>(height) + 1] = height;
    fontflags[static_cast<size_t>(height)] = fontflag_monospace;
    fontflags[static_cast<size_t>(height) + 1] = fontflag_monospace;
  }
}

void charsets_init() {
  std::memcpy(charset8x8, file_charset8_raw, sizeof charset8x8);
  std::memcpy(charset8x16, file_chrset16_raw, sizeof charset8x16);
  pack_rows(charset8x8, glyph_bits8x8, sizeof glyph_bits8x8);
  pack_rows(charset8x16, glyph_bits8x16, sizeof glyph_bits8x16);
}

bool kx::is_builtin_font(uint32_t font) {
  return font == 8 || font == 9 || font == 14 || font == 15 || font == 16 || font == 17;
}

namespace {

// Character c's first row in a built-in font, from the 8-row or the 16-row
// set, whose rows take row_bytes each: the pixel sets and the packed bits
// share the layout.
const uint8_t* glyph_start(uint32_t font, uint8_t c, const uint8_t* set8, const uint8_t* set16, int row_bytes) {
  switch (font) {
    case 8:
    case 9:
      return set8 + c * 8 * row_bytes;
    case 14:
    case 15:
      return set16 + (c * 16 + 1) * row_bytes;  // the 14-row cell drops the top row
    default:
      return set16 + c * 16 * row_bytes;
  }
}

}  // namespace

const uint8_t* kx::glyph_row_bits(uint32_t font, uint8_t c) {
  return glyph_start(font, c, glyph_bits8x8, glyph_bits8x16, 1);
}

const uint8_t* kx::glyph_rows(uint32_t font, uint8_t c) { return glyph_start(font, c, charset8x8, charset8x16, 8); }

uint8_t kx::glyph_pixel(uint32_t font, uint8_t c, int x, int y) {
  if (is_doubled_font(font)) x /= 2;
  return glyph_rows(font, c)[y * 8 + x];
}
