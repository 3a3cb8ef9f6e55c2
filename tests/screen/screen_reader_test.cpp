// Round trips through the screen reader: text cells are drawn the way the
// frame composer draws them (glyphs, attributes, blinking, cursor bar), and
// the reader must give back exactly those characters and colours, while
// damaged pictures and wrong cell geometries must show up as such.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "screen/fonts/glyphs.h"
#include "screen_reader.h"

namespace {

using namespace kx::screen_reader;

struct TextCell {
  uint8_t code = 32;
  uint8_t attr = 0x07;
};

struct Cursor {
  int column = -1, row = -1;     // 0-based; -1 = none
  int first_row = 0, last_row = 0;  // rows of the cell drawn in the foreground
};

// A screen of cells and how it is shown: glyph height 8, 14 or 16, each
// glyph pixel `scale` frame pixels wide (2 for the 40-column fonts).
struct Screen {
  int columns, rows, glyph_height, scale;
  std::vector<TextCell> cells;
  Cursor cursor;
  bool flash_phase = false;  // blinking cells show no foreground while set

  Screen(int c, int r, int h, int s) : columns(c), rows(r), glyph_height(h), scale(s), cells(c * r) {}
  TextCell& at(int x, int y) { return cells[y * columns + x]; }
  void print(int x, int y, const std::string& text, uint8_t attr) {
    for (char ch : text) at(x++, y) = {static_cast<uint8_t>(ch), attr};
  }
  CellGeometry geometry() const { return {8 * scale, glyph_height, 0, 0, 0, 0}; }
};

bool glyph_ink(int code, int glyph_height, int x, int y) {
  if (glyph_height == 8) return file_charset8_raw[(code * 8 + y) * 8 + x] != 0;
  const int row = glyph_height == 14 ? y + 1 : y;
  return file_chrset16_raw[(code * 16 + row) * 8 + x] != 0;
}

Image render(const Screen& s, int border = 0, Rgb border_colour = {}) {
  const int cw = 8 * s.scale, ch = s.glyph_height;
  Image image(s.columns * cw + 2 * border, s.rows * ch + 2 * border, border_colour);
  for (int cy = 0; cy < s.rows; ++cy) {
    for (int cx = 0; cx < s.columns; ++cx) {
      const TextCell& c = s.cells[cy * s.columns + cx];
      const Rgb bg = text_palette_colour((c.attr >> 4) & 7);
      Rgb fg = text_palette_colour(c.attr & 15);
      if ((c.attr & 0x80) && s.flash_phase) fg = bg;
      const bool cursor_here = cx == s.cursor.column && cy == s.cursor.row;
      for (int y = 0; y < ch; ++y) {
        const bool bar = cursor_here && y >= s.cursor.first_row && y <= s.cursor.last_row;
        for (int x = 0; x < cw; ++x) {
          const bool on = bar || glyph_ink(c.code, ch, x / s.scale, y);
          image.set(border + cx * cw + x, border + cy * ch + y, on ? fg : bg);
        }
      }
    }
  }
  return image;
}

// What a correct reading of one cell must say: the blank and the solid
// glyphs show a single colour and read as a space on that colour.
void expect_cell(const Cell& got, const TextCell& sent, const std::string& where) {
  const int fg = sent.attr & 15, bg = (sent.attr >> 4) & 7;
  const bool blank_glyph = sent.code == 0 || sent.code == 32 || sent.code == 255;
  if (blank_glyph || sent.code == 0xDB || fg == bg) {
    EXPECT_TRUE(got.blank) << where;
    EXPECT_EQ(got.code, 32) << where;
    EXPECT_EQ(got.bg_index, sent.code == 0xDB ? fg : bg) << where;
  } else {
    EXPECT_FALSE(got.blank) << where;
    EXPECT_EQ(got.code, sent.code) << where;
    EXPECT_EQ(got.fg_index, fg) << where;
    EXPECT_EQ(got.bg_index, bg) << where;
    EXPECT_EQ(got.fg, text_palette_colour(fg)) << where;
  }
  EXPECT_TRUE(got.exact) << where;
  EXPECT_FALSE(got.cursor) << where;
  EXPECT_EQ(got.confidence, 1.0) << where;
}

// Every code page position, each row on its own background (as text
// screens are), with the foreground cycling through the other colours.
Screen all_characters(int columns, int glyph_height, int scale) {
  const int rows = (256 + columns - 1) / columns + 1;
  Screen s(columns, rows, glyph_height, scale);
  for (int i = 0; i < columns * rows; ++i) {
    const int y = i / columns, bg = y % 8;
    int fg = (i * 7 + 3) % 16;
    if (fg == bg) fg = (fg + 9) % 16;
    s.cells[i] = {static_cast<uint8_t>(i % 256), static_cast<uint8_t>(bg << 4 | fg)};
  }
  return s;
}

struct Shape {
  int glyph_height, scale;
};

class ReaderRoundTrip : public ::testing::TestWithParam<Shape> {};

TEST_P(ReaderRoundTrip, GivesBackEveryCharacterAndColour) {
  const Shape p = GetParam();
  const Screen s = all_characters(p.scale == 2 ? 40 : 80, p.glyph_height, p.scale);
  const std::vector<Row> rows = read_cells(render(s), s.geometry());
  ASSERT_EQ(rows.size(), static_cast<size_t>(s.rows));
  for (int y = 0; y < s.rows; ++y) {
    ASSERT_EQ(rows[y].cells.size(), static_cast<size_t>(s.columns));
    for (int x = 0; x < s.columns; ++x)
      expect_cell(rows[y].cells[x], s.cells[y * s.columns + x],
                  "cell " + std::to_string(x) + "," + std::to_string(y) + " code " +
                      std::to_string(s.cells[y * s.columns + x].code));
  }
  const Summary sum = summarize(rows);
  EXPECT_EQ(sum.inexact, 0);
  EXPECT_EQ(sum.cursor_cells, 0);
}

INSTANTIATE_TEST_SUITE_P(Fonts, ReaderRoundTrip,
                         ::testing::Values(Shape{16, 1}, Shape{14, 1}, Shape{8, 1}, Shape{16, 2}, Shape{14, 2},
                                           Shape{8, 2}),
                         [](const auto& info) {
                           return std::to_string(8 * info.param.scale) + "x" + std::to_string(info.param.glyph_height);
                         });

TEST(ScreenReader, RowTextComesInCodePageAndUtf8) {
  Screen s(10, 1, 16, 1);
  s.print(0, 0, "\xC9\xCD\xBB \x82t\x82 \x01", 0x1F);
  const std::vector<Row> rows = read_cells(render(s), s.geometry());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].cp437, std::string("\xC9\xCD\xBB \x82t\x82 \x01 ", 10));
  EXPECT_EQ(rows[0].utf8, "╔═╗ été ☺ ");
}

TEST(ScreenReader, BootBannerReadsBackOnAnEightyColumnScreen) {
  Screen s(80, 25, 16, 1);
  s.print(0, 0, "Halcyonix Operating System v0.0.0.1 rBeta", 0x07);
  s.print(0, 1, "Looking for boot script...", 0x07);
  s.print(0, 24, "Press any key to continue", 0x4E);
  const std::vector<Row> rows = read_cells(render(s), s.geometry());
  ASSERT_EQ(rows.size(), 25u);
  EXPECT_EQ(rows[0].utf8.substr(0, 42), "Halcyonix Operating System v0.0.0.1 rBeta ");
  EXPECT_EQ(rows[1].utf8, "Looking for boot script..." + std::string(54, ' '));
  EXPECT_EQ(rows[24].cells[0].bg_index, 4);
  EXPECT_EQ(rows[24].cells[0].fg_index, 14);
  EXPECT_EQ(rows[24].cells[30].bg_index, 0);  // unwritten cells keep attribute 7
  EXPECT_EQ(summarize(rows).inexact, 0);
}

TEST(ScreenReader, ColoursOutsideThePaletteKeepTheirRgb) {
  Image image(8, 16, Rgb{10, 20, 30});
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x)
      if (glyph_ink('Q', 16, x, y)) image.set(x, y, Rgb{200, 100, 50});
  const std::vector<Row> rows = read_cells(image, {8, 16});
  ASSERT_EQ(rows.size(), 1u);
  const Cell& c = rows[0].cells[0];
  EXPECT_EQ(c.code, 'Q');
  EXPECT_EQ(c.fg, (Rgb{200, 100, 50}));
  EXPECT_EQ(c.bg, (Rgb{10, 20, 30}));
  EXPECT_EQ(c.fg_index, -1);
  EXPECT_EQ(c.bg_index, -1);
  EXPECT_TRUE(c.exact);
}

TEST(ScreenReader, InverseGlyphsFollowTheRowsBackground) {
  // In the 8x8 set the lower half block in white on blue is, pixel for
  // pixel, the upper half block in blue on white; the row's other cells
  // settle which it is.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_NE(glyph_ink(0xDC, 8, x, y), glyph_ink(0xDF, 8, x, y));
  Screen s(6, 1, 8, 1);
  s.print(0, 0, "ab\xDC\xDF\x08z", 0x1F);
  const std::vector<Row> rows = read_cells(render(s), s.geometry());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].cp437, "ab\xDC\xDF\x08z");
  for (const Cell& c : rows[0].cells) {
    EXPECT_EQ(c.bg_index, 1);
    EXPECT_EQ(c.fg_index, 15);
  }
  EXPECT_TRUE(rows[0].cells[2].polarity_guessed);
  EXPECT_TRUE(rows[0].cells[3].polarity_guessed);
  EXPECT_FALSE(rows[0].cells[0].polarity_guessed);

  // With the row's background the other way round, so is the reading.
  s.print(0, 0, "ab\xDC\xDF\x08z", 0x71);
  const std::vector<Row> inverse = read_cells(render(s), s.geometry());
  EXPECT_EQ(inverse[0].cells[2].bg_index, 7);
  EXPECT_EQ(inverse[0].cells[2].code, 0xDC);
}

TEST(ScreenReader, ReadsTheCharacterUnderTheCursor) {
  struct Case {
    int glyph_height, first_row, last_row;
    char code;
  };
  // The default underline cursor (row 14 of 16, row 7 of 8, row 13 of 14),
  // the two-row cursor, and a taller bar over a letter with a descender.
  for (const Case& k : {Case{16, 14, 14, 'A'}, Case{16, 13, 14, 'x'}, Case{14, 13, 13, 'W'}, Case{8, 7, 7, 'A'},
                        Case{16, 11, 15, 'M'}, Case{16, 14, 14, ' '}}) {
    Screen s(5, 2, k.glyph_height, 1);
    s.print(0, 1, "ab", 0x07);
    s.at(2, 1) = {static_cast<uint8_t>(k.code), 0x07};
    s.cursor = {2, 1, k.first_row, k.last_row};
    const std::vector<Row> rows = read_cells(render(s), s.geometry());
    ASSERT_EQ(rows.size(), 2u);
    const Cell& c = rows[1].cells[2];
    const std::string where = std::string("char '") + k.code + "' height " + std::to_string(k.glyph_height);
    EXPECT_EQ(c.code, static_cast<uint8_t>(k.code)) << where;
    EXPECT_TRUE(c.cursor) << where;
    EXPECT_EQ(c.cursor_first_row, k.first_row) << where;
    EXPECT_EQ(c.cursor_last_row, k.last_row) << where;
    EXPECT_EQ(c.fg_index, 7) << where;
    EXPECT_LT(c.confidence, 1.0) << where;
    EXPECT_GT(c.confidence, 0.5) << where;
    const Summary sum = summarize(rows);
    EXPECT_EQ(sum.cursor_cells, 1) << where;
    EXPECT_EQ(sum.cursor_column, 2) << where;
    EXPECT_EQ(sum.cursor_row, 1) << where;
    EXPECT_FALSE(rows[1].cells[1].cursor) << where;
  }
}

TEST(ScreenReader, BlinkingForegroundInTheOffPhaseReadsBlank) {
  Screen s(4, 1, 16, 1);
  s.print(0, 0, "Hi", 0x8F);  // blinking white on black
  s.print(2, 0, "!!", 0x0F);
  s.flash_phase = true;
  std::vector<Row> rows = read_cells(render(s), s.geometry());
  EXPECT_EQ(rows[0].cp437, "  !!");
  EXPECT_TRUE(rows[0].cells[0].blank);
  EXPECT_EQ(rows[0].cells[0].bg_index, 0);
  s.flash_phase = false;
  rows = read_cells(render(s), s.geometry());
  EXPECT_EQ(rows[0].cp437, "Hi!!");
  EXPECT_EQ(rows[0].cells[1].fg_index, 15);
}

TEST(ScreenReader, ADamagedCellIsReportedNotTrusted) {
  Screen s(3, 1, 16, 1);
  s.print(0, 0, "OOO", 0x07);
  Image image = render(s);
  // Three pixels of a third colour in the middle cell, as scaling or a
  // window decoration would leave them.
  image.set(8 + 2, 5, Rgb{255, 0, 0});
  image.set(8 + 3, 6, Rgb{255, 0, 0});
  image.set(8 + 4, 9, Rgb{250, 5, 5});
  const std::vector<Row> rows = read_cells(image, s.geometry());
  EXPECT_TRUE(rows[0].cells[0].exact);
  EXPECT_TRUE(rows[0].cells[2].exact);
  const Cell& bad = rows[0].cells[1];
  EXPECT_FALSE(bad.exact);
  EXPECT_EQ(bad.stray_pixels, 3);
  EXPECT_LT(bad.confidence, 1.0);
  EXPECT_EQ(summarize(rows).inexact, 1);
}

TEST(ScreenReader, FlippedPixelsLowerTheConfidence) {
  Screen s(3, 1, 8, 1);
  s.print(0, 0, "BBB", 0x07);
  Image image = render(s);
  const Rgb grey = text_palette_colour(7), black = text_palette_colour(0);
  for (const auto& [x, y] : {std::pair{9, 0}, std::pair{14, 3}}) image.set(x, y, image.at(x, y) == grey ? black : grey);
  const std::vector<Row> rows = read_cells(image, s.geometry());
  const Cell& c = rows[0].cells[1];
  EXPECT_FALSE(c.exact);
  EXPECT_EQ(c.stray_pixels, 0);
  EXPECT_EQ(c.distance, 2);
  EXPECT_LT(c.confidence, 1.0);
  EXPECT_EQ(rows[0].cells[0].confidence, 1.0);
}

TEST(ScreenReader, RandomNoiseIsNotReadAsValidText) {
  Image image(640, 400);
  std::mt19937 random(4);
  for (auto& byte : image.rgb) byte = static_cast<uint8_t>(random() & 0xFF);
  const Summary sum = summarize(read_cells(image, {8, 16}));
  EXPECT_EQ(sum.cells, 2000);
  EXPECT_EQ(sum.inexact, 2000);
  EXPECT_LT(sum.min_confidence, 0.5);
}

TEST(ScreenReader, AWrongCellHeightIsNotReadAsValidText) {
  const Screen s = all_characters(80, 16, 1);
  const Summary sum = summarize(read_cells(render(s), {8, 8}));
  EXPECT_GT(sum.inexact, sum.cells / 2);
  EXPECT_LT(sum.min_confidence, 0.5);
}

TEST(ScreenReader, ADoubledGeometryOnSingleWidthGlyphsIsReported) {
  const Screen s = all_characters(80, 16, 1);
  const std::vector<Row> rows = read_cells(render(s), {16, 16});
  int stray_cells = 0;
  for (const Row& r : rows)
    for (const Cell& c : r.cells) stray_cells += c.stray_pixels > 0;
  EXPECT_GT(stray_cells, 100);
  EXPECT_GT(summarize(rows).inexact, 100);
}

TEST(ScreenReader, TheCropOriginMatters) {
  Screen s(20, 3, 16, 1);
  s.print(0, 0, "Crop me right", 0x1E);
  s.print(0, 2, "+-+ \xB3 \xC4", 0x07);
  const Image framed = render(s, 5, Rgb{30, 30, 30});
  CellGeometry right = s.geometry();
  right.origin_x = right.origin_y = 5;
  right.columns = 20;
  right.rows = 3;
  const std::vector<Row> good = read_cells(framed, right);
  ASSERT_EQ(good.size(), 3u);
  EXPECT_EQ(good[0].utf8, "Crop me right       ");
  EXPECT_EQ(good[2].utf8, "+-+ │ ─             ");
  EXPECT_EQ(summarize(good).inexact, 0);

  CellGeometry off = right;
  off.origin_x = 2;
  EXPECT_GT(summarize(read_cells(framed, off)).inexact, 5);
}

TEST(ScreenReader, RefusesGeometriesItCannotRead) {
  const Image image(640, 400);
  EXPECT_EQ(geometry_error(image, {8, 16}), "");
  EXPECT_NE(geometry_error(image, {9, 16}), "");
  EXPECT_NE(geometry_error(image, {8, 12}), "");
  EXPECT_NE(geometry_error(image, {8, 16, 640, 0}), "");
  EXPECT_NE(geometry_error(image, {8, 16, 0, 0, 81, 25}), "");
  EXPECT_NE(geometry_error(image, {8, 16, 0, 0, -1, 0}), "");
  EXPECT_NE(geometry_error(Image(7, 16), {8, 16}), "");
  EXPECT_TRUE(read_cells(image, {8, 12}).empty());
  EXPECT_EQ(read_cells(image, {8, 16, 0, 0, 80, 25}).size(), 25u);
}

}  // namespace
