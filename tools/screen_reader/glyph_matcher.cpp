#include "glyph_matcher.h"

#include <bit>

#include "screen/fonts/glyphs.h"

namespace kx::screen_reader {
namespace {

Bitmap pack(const uint8_t* glyph, int first_row, int rows) {
  Bitmap b;
  for (int y = 0; y < rows; ++y) {
    uint8_t bits = 0;
    for (int x = 0; x < glyph_width; ++x) {
      if (glyph[(first_row + y) * glyph_width + x] != 0) bits |= static_cast<uint8_t>(0x80 >> x);
    }
    b.rows[static_cast<std::size_t>(y)] = bits;
  }
  return b;
}

int masked_distance(const Bitmap& a, const Bitmap& b, int height, uint32_t row_mask) {
  int d = 0;
  for (int y = 0; y < height; ++y) {
    if (row_mask & (1u << y)) d += std::popcount(static_cast<unsigned>(a.rows[y] ^ b.rows[y]));
  }
  return d;
}

}  // namespace

int ink_count(const Bitmap& bitmap, int height, uint32_t row_mask) {
  int n = 0;
  for (int y = 0; y < height; ++y) {
    if (row_mask & (1u << y)) n += std::popcount(static_cast<unsigned>(bitmap.rows[y]));
  }
  return n;
}

GlyphMatcher::GlyphMatcher(int cell_height) : height_(cell_height) {
  for (int code = 0; code < 256; ++code) {
    if (cell_height == charset8_glyph_height) {
      glyphs_[code] = pack(file_charset8_raw + code * 8 * glyph_width, 0, 8);
    } else {
      // Font 14 shows rows 1-14 of the 16-row glyphs.
      const int first = cell_height == 14 ? 1 : 0;
      glyphs_[code] = pack(file_chrset16_raw + code * chrset16_glyph_height * glyph_width, first, cell_height);
    }
  }
}

Match GlyphMatcher::nearest(const Bitmap& ink, uint32_t row_mask) const {
  Match best{32, masked_distance(ink, glyphs_[32], height_, row_mask), 0};
  for (int code = 0; code < 256 && best.distance > 0; ++code) {
    const int d = masked_distance(ink, glyphs_[code], height_, row_mask);
    if (d < best.distance) best = {code, d, 0};
  }
  best.glyph_ink = ink_count(glyphs_[best.code], height_, row_mask);
  return best;
}

}  // namespace kx::screen_reader
