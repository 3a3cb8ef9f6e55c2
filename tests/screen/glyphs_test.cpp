// The built-in glyph sets: layout, blanks, and that the set stays usable as
// a character set (distinct glyphs, box pieces that join).
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "screen/fonts/fonts.h"
#include "screen/fonts/glyphs.h"

namespace {

struct GlyphSet {
  const uint8_t* data;
  int height;
  const char* name;
};

const GlyphSet sets[] = {
    {file_charset8_raw, charset8_glyph_height, "8x8"},
    {file_chrset16_raw, chrset16_glyph_height, "8x16"},
};

bool ink(const GlyphSet& s, int code, int x, int y) { return s.data[(code * s.height + y) * 8 + x] != 0; }

std::vector<uint8_t> glyph(const GlyphSet& s, int code) {
  const uint8_t* g = s.data + code * s.height * 8;
  return {g, g + s.height * 8};
}

bool is_blank_position(int code) { return code == 0 || code == 32 || code == 255; }

TEST(GlyphTables, HaveTheComposersLayout) {
  EXPECT_EQ(sizeof(file_charset8_raw), 16384u);
  EXPECT_EQ(sizeof(file_chrset16_raw), 32768u);
  for (const GlyphSet& s : sets) {
    for (int i = 0; i < 256 * s.height * 8; ++i) {
      ASSERT_TRUE(s.data[i] == 0 || s.data[i] == 255) << s.name << " byte " << i;
    }
  }
}

TEST(GlyphTables, OnlyTheBlankPositionsAreEmpty) {
  for (const GlyphSet& s : sets) {
    for (int code = 0; code < 256; ++code) {
      int pixels = 0;
      for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < 8; ++x) pixels += ink(s, code, x, y);
      if (is_blank_position(code)) EXPECT_EQ(pixels, 0) << s.name << " code " << code;
      else EXPECT_GT(pixels, 0) << s.name << " code " << code;
    }
  }
}

TEST(GlyphTables, EveryPrintingCharacterLooksDifferent) {
  for (const GlyphSet& s : sets) {
    std::map<std::vector<uint8_t>, int> seen;
    for (int code = 0; code < 256; ++code) {
      if (is_blank_position(code)) continue;
      const auto [it, fresh] = seen.emplace(glyph(s, code), code);
      EXPECT_TRUE(fresh) << s.name << ": " << code << " looks like " << it->second;
    }
  }
}

TEST(GlyphTables, LettersKeepTheirShapes) {
  // A few shapes any code page 437 set must have: 'I' is symmetric, the
  // full block fills the cell, the lower half block fills its lower half.
  for (const GlyphSet& s : sets) {
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < 8; ++x) {
        EXPECT_TRUE(ink(s, 0xDB, x, y)) << s.name;
        EXPECT_EQ(ink(s, 0xDC, x, y), y >= s.height / 2) << s.name << " row " << y;
        EXPECT_EQ(ink(s, 0xDD, x, y), x < 4) << s.name << " column " << x;
      }
    }
    EXPECT_NE(glyph(s, 'O'), glyph(s, '0'));
    EXPECT_NE(glyph(s, 'l'), glyph(s, '1'));
  }
}

// Line weight of each box piece's arms: up, down, left, right (0 none,
// 1 single, 2 double), for code page 437 positions 0xB3-0xDA.
struct BoxPiece {
  int code, up, down, left, right;
};
constexpr std::array<BoxPiece, 40> box_pieces = {{
    {0xB3, 1, 1, 0, 0}, {0xB4, 1, 1, 1, 0}, {0xB5, 1, 1, 2, 0}, {0xB6, 2, 2, 1, 0}, {0xB7, 0, 2, 1, 0},
    {0xB8, 0, 1, 2, 0}, {0xB9, 2, 2, 2, 0}, {0xBA, 2, 2, 0, 0}, {0xBB, 0, 2, 2, 0}, {0xBC, 2, 0, 2, 0},
    {0xBD, 2, 0, 1, 0}, {0xBE, 1, 0, 2, 0}, {0xBF, 0, 1, 1, 0}, {0xC0, 1, 0, 0, 1}, {0xC1, 1, 0, 1, 1},
    {0xC2, 0, 1, 1, 1}, {0xC3, 1, 1, 0, 1}, {0xC4, 0, 0, 1, 1}, {0xC5, 1, 1, 1, 1}, {0xC6, 1, 1, 0, 2},
    {0xC7, 2, 2, 0, 1}, {0xC8, 2, 0, 0, 2}, {0xC9, 0, 2, 0, 2}, {0xCA, 2, 0, 2, 2}, {0xCB, 0, 2, 2, 2},
    {0xCC, 2, 2, 0, 2}, {0xCD, 0, 0, 2, 2}, {0xCE, 2, 2, 2, 2}, {0xCF, 1, 0, 2, 2}, {0xD0, 2, 0, 1, 1},
    {0xD1, 0, 1, 2, 2}, {0xD2, 0, 2, 1, 1}, {0xD3, 2, 0, 0, 1}, {0xD4, 1, 0, 0, 2}, {0xD5, 0, 1, 0, 2},
    {0xD6, 0, 2, 0, 1}, {0xD7, 2, 2, 1, 1}, {0xD8, 1, 1, 2, 2}, {0xD9, 1, 0, 1, 0}, {0xDA, 0, 1, 0, 1},
}};

// The pixels along one edge of a glyph: a row (top, bottom) or a column.
std::vector<bool> edge(const GlyphSet& s, int code, char side) {
  std::vector<bool> out;
  if (side == 't' || side == 'b') {
    for (int x = 0; x < 8; ++x) out.push_back(ink(s, code, x, side == 't' ? 0 : s.height - 1));
  } else {
    for (int y = 0; y < s.height; ++y) out.push_back(ink(s, code, side == 'l' ? 0 : 7, y));
  }
  return out;
}

TEST(GlyphTables, BoxPiecesJoinTheirNeighbours) {
  // Each arm must leave the cell exactly where the plain line of the same
  // weight does, or boxes drawn from these pieces show gaps and steps.
  for (const GlyphSet& s : sets) {
    const std::vector<bool> none_row(8, false), none_column(static_cast<size_t>(s.height), false);
    const std::vector<bool> vertical[3] = {none_row, edge(s, 0xB3, 't'), edge(s, 0xBA, 't')};
    const std::vector<bool> horizontal[3] = {none_column, edge(s, 0xC4, 'l'), edge(s, 0xCD, 'l')};
    for (const BoxPiece& p : box_pieces) {
      EXPECT_EQ(edge(s, p.code, 't'), vertical[p.up]) << s.name << " top of " << std::hex << p.code;
      EXPECT_EQ(edge(s, p.code, 'b'), vertical[p.down]) << s.name << " bottom of " << std::hex << p.code;
      EXPECT_EQ(edge(s, p.code, 'l'), horizontal[p.left]) << s.name << " left of " << std::hex << p.code;
      EXPECT_EQ(edge(s, p.code, 'r'), horizontal[p.right]) << s.name << " right of " << std::hex << p.code;
    }
  }
}

}  // namespace

// The composer draws from the rows packed into bits; they must be the
// character sets' pixels for every built-in font, 14-row cells included.
TEST(GlyphTables, PackedRowsMatchTheCharacterSets) {
  charsets_init();
  for (uint32_t font : {8u, 9u, 14u, 15u, 16u, 17u}) {
    const int rows = font == 8 || font == 9 ? 8 : font == 14 || font == 15 ? 14 : 16;
    for (int c = 0; c < 256; ++c) {
      const uint8_t* bits = kx::glyph_row_bits(font, static_cast<uint8_t>(c));
      const uint8_t* pixels = kx::glyph_rows(font, static_cast<uint8_t>(c));
      for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < 8; ++x) {
          ASSERT_EQ((bits[y] >> (7 - x)) & 1, pixels[y * 8 + x] != 0 ? 1 : 0)
              << "font " << font << " char " << c << " at " << x << "," << y;
        }
      }
    }
  }
}
