// PRINT with loaded fonts, through a small font engine of the test's own:
// every glyph is a column of full ink, a column of half coverage and blank
// columns, 5 pixels wide ("i": 3) and as high as the font.
#include <cstdlib>
#include <cstring>

#include "fresh_screen.h"
#include "screen/fonts/font_engine.h"
#include "screen/fonts/fonts.h"
#include "screen/images/color_statements.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/loaded_font_glyphs.h"

namespace {

constexpr int32_t fixed_handle = 7, proportional_handle = 8;
constexpr int32_t glyph_height = 10;

struct engine_log {
  int renders = 0;
  int32_t monochrome = -1;
  uint32_t code = 0;
  bool utf32 = false;
};
engine_log seen;

int32_t test_load(const uint8_t*, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t test_width(int32_t handle) { return handle == fixed_handle ? 6 : 0; }

int32_t render(uint32_t code, int32_t monochrome, uint8_t** out, int32_t* w, int32_t* h) {
  ++seen.renders;
  seen.monochrome = monochrome;
  seen.code = code;
  *w = code == 'i' ? 3 : 5;
  *h = glyph_height;
  *out = static_cast<uint8_t*>(std::calloc(size_t(*w) * *h, 1));
  for (int32_t y = 0; y < *h; ++y) {
    (*out)[y * *w] = 255;
    (*out)[y * *w + 1] = 128;
  }
  return 1;
}
int32_t test_ascii(int32_t, const uint8_t* text, int32_t, int32_t monochrome, uint8_t** out, int32_t* w, int32_t* h,
                   int32_t*, int32_t*) {
  seen.utf32 = false;
  return render(text[0], monochrome, out, w, h);
}
int32_t test_utf32(int32_t, const uint32_t* text, int32_t, int32_t monochrome, uint8_t** out, int32_t* w, int32_t* h,
                   int32_t*, int32_t*) {
  seen.utf32 = true;
  return render(text[0], monochrome, out, w, h);
}
void test_free(int32_t) {}

const kx::font_engine test_engine{test_load, test_width, test_ascii, test_utf32, test_free};

class LoadedFont : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    seen = engine_log{};
    kx::install_font_engine(&test_engine);
  }
  void TearDown() override {
    kx::install_font_engine(nullptr);
    fresh_screen::TearDown();
  }
  // A 32-bit image of w x h as the destination, in the given font.
  img_struct& pixel_image(int32_t w, int32_t h, int32_t font_number) {
    const int32_t handle = func__newimage(w, h, 32, 1);
    sub__dest(handle);
    selectfont(font_number, write_page);
    write_page->color = red;
    write_page->background_color = blue;
    return *write_page;
  }
  static uint32_t at(const img_struct& image, int32_t x, int32_t y) { return kx::pixels32(image)[y * image.width + x]; }
  static constexpr uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
};

TEST_F(LoadedFont, FixedWidthGlyphsFillTheirCellsOnAPaletteScreen) {
  EXPECT_FALSE(kx::is_loaded_font(32));  // nothing is loaded without an engine's font
  const int32_t f = kx::register_loaded_font(fixed_handle, glyph_height, fontflag_monospace);
  EXPECT_EQ(f, 32);
  EXPECT_EQ(fontwidth[32], 6);
  EXPECT_EQ(fontheight[32], glyph_height);
  kxg_screen(13, 0, 0, 0, 1);
  selectfont(f, write_page);
  kxg_sub_color(14, 1, 0, 3);
  print("AB", false);
  ASSERT_EQ(new_error.load(), 0u);
  EXPECT_EQ(seen.renders, 2);
  EXPECT_EQ(seen.monochrome, 1);  // palette pages take glyphs without blending
  EXPECT_FALSE(seen.utf32);
  const uint8_t* px = write_page->data;
  // Any coverage is ink; the rest of the glyph is background.
  EXPECT_EQ(px[0], 14);
  EXPECT_EQ(px[1], 14);
  EXPECT_EQ(px[2], 1);
  EXPECT_EQ(px[6], 14);  // the second cell starts 6 pixels on
  EXPECT_EQ(px[9 * 320 + 7], 14);
  EXPECT_EQ(px[10 * 320], 0);  // below the glyph: untouched
  EXPECT_EQ(write_page->cursor_x, 3);
  // 320 / 6 = 53 columns: the 54th character wraps.
  print(std::string(51, 'A'), false);
  EXPECT_EQ(write_page->cursor_x, 53);
  EXPECT_EQ(write_page->holding_cursor, 1);
}

TEST_F(LoadedFont, ProportionalGlyphsBlendAndMoveByTheirWidth) {
  const int32_t f = kx::register_loaded_font(proportional_handle, glyph_height, 0);
  img_struct& image = pixel_image(40, 30, f);
  print("ii", false);
  EXPECT_EQ(seen.monochrome, 0);
  EXPECT_EQ(image.cursor_x, 7);  // 3 pixels a glyph
  EXPECT_EQ(at(image, 0, 0), red);
  EXPECT_EQ(at(image, 2, 0), blue);
  EXPECT_EQ(at(image, 3, 0), red);
  // Half coverage lies halfway between the two colours.
  const uint32_t half = at(image, 1, 0);
  EXPECT_EQ(half >> 24, 0xFFu);
  EXPECT_NEAR(double((half >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(double(half & 0xFF), 127, 1);
  EXPECT_EQ((half >> 8) & 0xFF, 0u);

  // One "i" at the start of text row `row` over a green row of pixels.
  const uint32_t green = 0xFF00FF00u;
  const auto print_over_green = [&](int32_t row, uint8_t mode) {
    for (int32_t x = 0; x < 40; ++x) kx::pixels32(image)[(row - 1) * glyph_height * 40 + x] = green;
    image.print_mode = mode;
    image.cursor_x = 1;
    image.cursor_y = row;
    print("i", false);
  };
  // Print mode 1 keeps the background and blends the ink by coverage.
  print_over_green(2, print_mode_keep_background);
  EXPECT_EQ(at(image, 0, 10), red);
  EXPECT_EQ(at(image, 2, 10), green);
  const uint32_t mixed = at(image, 1, 10);
  EXPECT_NEAR(double((mixed >> 16) & 0xFF), 128, 2);
  EXPECT_NEAR(double((mixed >> 8) & 0xFF), 127, 2);

  // Print mode 2 paints only the background, by the coverage's complement.
  print_over_green(3, print_mode_only_background);
  EXPECT_EQ(at(image, 0, 20), green);
  EXPECT_EQ(at(image, 2, 20), blue);
}

TEST_F(LoadedFont, ProportionalLinesWrapBeforeAGlyphThatDoesNotFit) {
  const int32_t f = kx::register_loaded_font(proportional_handle, glyph_height, 0);
  img_struct& image = pixel_image(40, 40, f);  // text rows 1-3 scroll
  print(std::string(12, 'i'), false);  // 36 pixels
  EXPECT_EQ(image.cursor_x, 37);
  print("A", false);  // 5 more would pass the 40-pixel edge
  EXPECT_EQ(image.cursor_y, 2);
  EXPECT_EQ(image.cursor_x, 6);
  EXPECT_EQ(at(image, 0, 10), red);
  EXPECT_EQ(at(image, 36, 0), 0u);  // nothing drawn at the end of row 1
  // makefit measures the item in pixels.
  image.cursor_x = 31;
  const uint32_t mark = kxs_tmp_list_nexti;
  makefit(kxs_new_txt("iiii"));  // 12 pixels from offset 30
  kxs_cleanup(mark, 0);
  EXPECT_EQ(image.cursor_x, 1);
  EXPECT_EQ(image.cursor_y, 3);
  EXPECT_EQ(chrwidth('i'), 3);
  EXPECT_EQ(chrwidth('A'), 5);
}

TEST_F(LoadedFont, ProportionalTabsAndZonesGoByPixels) {
  const int32_t f = kx::register_loaded_font(proportional_handle, glyph_height, 0);
  img_struct& image = pixel_image(300, 30, f);
  print("\t", false);
  EXPECT_EQ(image.cursor_x, 65);
  EXPECT_EQ(at(image, 0, 0), blue);
  EXPECT_EQ(at(image, 63, 9), blue);
  EXPECT_EQ(at(image, 64, 0), 0u);
  tab();
  EXPECT_EQ(image.cursor_x, 113);
  tab();
  EXPECT_EQ(image.cursor_x, 225);
  tab();  // 336 is past the edge: the row is filled and a new line starts
  EXPECT_EQ(image.cursor_x, 1);
  EXPECT_EQ(image.cursor_y, 2);
  EXPECT_EQ(at(image, 299, 0), blue);
}

TEST_F(LoadedFont, UnicodeFontsTakeWholeCodePoints) {
  const int32_t f = kx::register_loaded_font(proportional_handle, glyph_height, fontflag_unicode);
  img_struct& image = pixel_image(40, 30, f);
  const uint32_t smiley = 0x263A;
  uint8_t bytes[6] = {};
  std::memcpy(bytes, &smiley, 4);
  bytes[4] = 'x';  // a partial group at the end is not a character
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs_print(kxs_new_txt_len(reinterpret_cast<const char*>(bytes), 6), 0);
  kxs_cleanup(mark, 0);
  EXPECT_EQ(seen.renders, 1);
  EXPECT_TRUE(seen.utf32);
  EXPECT_EQ(seen.code, smiley);
  EXPECT_EQ(image.cursor_x, 6);
}

}  // namespace
