#pragma once
// The built-in glyphs of one cell height as packed bitmaps, and the search
// for the glyph that best explains a cell's ink.
#include <array>
#include <cstddef>
#include <cstdint>

namespace kx::screen_reader {

// Up to 16 rows of 8 pixels, one byte per row, bit 7 = leftmost pixel.
struct Bitmap {
  std::array<uint8_t, 16> rows{};
  friend bool operator==(const Bitmap&, const Bitmap&) = default;
};

struct Match {
  int code = 32;
  int distance = 0;   // differing pixels on the compared rows
  int glyph_ink = 0;  // ink pixels of the glyph on the compared rows
};

class GlyphMatcher {
 public:
  // Height 8 uses the 8x8 set, 16 the 8x16 set and 14 rows 1-14 of it.
  explicit GlyphMatcher(int cell_height);

  int height() const { return height_; }
  const Bitmap& glyph(int code) const { return glyphs_[static_cast<std::size_t>(code)]; }

  // The nearest glyph on the rows whose bit is set in row_mask. Ties go to
  // the space first (so an empty cell reads as 32, not 0 or 255), then to
  // the lowest code.
  Match nearest(const Bitmap& ink, uint32_t row_mask) const;

 private:
  int height_;
  std::array<Bitmap, 256> glyphs_{};
};

int ink_count(const Bitmap& bitmap, int height, uint32_t row_mask);

}  // namespace kx::screen_reader
