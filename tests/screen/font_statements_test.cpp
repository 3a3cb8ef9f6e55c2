// _LOADFONT, _FONT, _FONTWIDTH, _FONTHEIGHT, _FREEFONT, _PRINTMODE,
// _PRINTWIDTH and _PRINTSTRING on text pages, palette pages and 32-bit
// images.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fresh_screen.h"
#include "screen/fonts/font_engine.h"
#include "screen/fonts/fonts.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/color_statements.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cursor.h"
#include "screen/text/font_statements.h"
#include "screen/text/loaded_font_glyphs.h"
#include "screen/text/positioned_text.h"

namespace {

// An engine that loads every file as handle 5, a proportional font, and
// renders any text as one full-ink column per character.
int32_t loads = 0;
int32_t frees = 0;
int32_t engine_load(const uint8_t*, int32_t bytes, int32_t, int32_t which, int32_t) {
  ++loads;
  return bytes > 0 && which == -1 ? 5 : 0;
}
int32_t engine_width(int32_t) { return 0; }
int32_t engine_ascii(int32_t, const uint8_t*, int32_t length, int32_t, uint8_t** out, int32_t* w, int32_t* h,
                     int32_t*, int32_t*) {
  *w = length * 2;
  *h = 4;
  *out = static_cast<uint8_t*>(std::calloc(size_t(*w) * *h, 1));
  for (int32_t y = 0; y < *h; ++y) {
    for (int32_t i = 0; i < length; ++i) (*out)[y * *w + 2 * i] = 255;
  }
  return 1;
}
int32_t engine_utf32(int32_t, const uint32_t*, int32_t, int32_t, uint8_t**, int32_t*, int32_t*, int32_t*, int32_t*) {
  return 0;
}
void engine_free(int32_t) { ++frees; }
const kx::font_engine engine{engine_load, engine_width, engine_ascii, engine_utf32, engine_free};

class Fonts : public fresh_screen {
 protected:
  void TearDown() override {
    kx::install_font_engine(nullptr);
    if (!file_.empty()) std::remove(file_.c_str());
    fresh_screen::TearDown();
  }
  // A scratch file with a few bytes in it.
  const std::string& font_file() {
    file_ = ::testing::TempDir() + "kx_font_file.ttf";
    std::FILE* f = std::fopen(file_.c_str(), "wb");
    std::fputs("not really an outline font", f);
    std::fclose(f);
    return file_;
  }
  static kxs* str(const std::string& s) { return kxs_new_txt_len(s.data(), static_cast<int32_t>(s.size())); }
  static int32_t loadfont(const std::string& file, int32_t height, const char* options = nullptr) {
    const uint32_t mark = kxs_tmp_list_nexti;
    const int32_t n = func__loadfont(str(file), height, options ? str(options) : str(""), options ? 1 : 0);
    kxs_cleanup(mark, 0);
    return n;
  }
  static void printstring(float x, float y, const std::string& text, int32_t image = 0, int32_t passed = 0) {
    const uint32_t mark = kxs_tmp_list_nexti;
    sub__printstring(x, y, str(text), image, passed);
    kxs_cleanup(mark, 0);
  }
  static int32_t printwidth(const std::string& text) {
    const uint32_t mark = kxs_tmp_list_nexti;
    const int32_t w = func__printwidth(str(text), 0, 0);
    kxs_cleanup(mark, 0);
    return w;
  }
  // Whether an 8-pixel-wide cell of character c at (x0, y0) of a palette
  // page shows the glyph of font f in ink over paper.
  static bool cell_shows(const img_struct& image, int32_t x0, int32_t y0, uint8_t c, uint32_t f, uint8_t ink,
                         uint8_t paper) {
    for (int32_t y = 0; y < fontheight[f]; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        const uint8_t want = kx::glyph_pixel(f, c, x, y) ? ink : paper;
        if (image.data[(y0 + y) * image.width + x0 + x] != want) return false;
      }
    }
    return true;
  }
  std::string file_;
};

TEST_F(Fonts, LoadFontChecksItsArgumentsAndFailsWithoutAnEngine) {
  EXPECT_EQ(loadfont("x.ttf", 0), -1);
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  EXPECT_EQ(loadfont("x.ttf", 2049), -1);
  EXPECT_EQ(take_error(), 0u);  // too tall fails quietly
  EXPECT_EQ(loadfont("x.ttf", 16, "bold, Italic,BOLD"), -1);
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  EXPECT_EQ(loadfont("x.ttf", 16, "BOLD,,ITALIC"), -1);
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  EXPECT_EQ(loadfont("x.ttf", 16, "WIDE"), -1);
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  const std::string options = " bold , italic,underline,DontBlend , MONOSPACE,unicode ";
  EXPECT_EQ(kx::font_option_flags(reinterpret_cast<const uint8_t*>(options.data()), int32_t(options.size())), 63);
  EXPECT_EQ(take_error(), 0u);
  // Options given but empty, or only blanks, name no option: error 5.
  EXPECT_EQ(loadfont("x.ttf", 16, ""), -1);
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  EXPECT_EQ(kx::font_option_flags(reinterpret_cast<const uint8_t*>("  "), 2), -1);
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  EXPECT_EQ(loadfont("", 16, "BOLD"), -1);
  EXPECT_EQ(loadfont(::testing::TempDir() + "no_such_font.ttf", 16), -1);
  EXPECT_EQ(loadfont(font_file(), 16), -1);  // a real file, but no engine to read it
  EXPECT_EQ(take_error(), 0u);
  EXPECT_FALSE(kx::is_loaded_font(32));
}

TEST_F(Fonts, LoadedFontsAreNumberedFrom32AndFreedWhenUnused) {
  kx::install_font_engine(&engine);
  loads = frees = 0;
  const int32_t f = loadfont(font_file(), 12, "monospace,bold");
  ASSERT_EQ(f, 32);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(fontheight[32], 12);
  EXPECT_EQ(fontwidth[32], 0);
  EXPECT_EQ(fontflags[32], 17);
  EXPECT_EQ(func__fontwidth(32, 1), 0);
  EXPECT_EQ(func__fontheight(32, 1), 12);
  EXPECT_EQ(loadfont(font_file(), 10), 33);

  // A text page takes only monospace fonts; font 33 is not one.
  sub__font(33, 0, 0);
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  const int32_t image = func__newimage(64, 48, 32, 1);
  sub__font(33, image, 1);
  ASSERT_EQ(take_error(), 0u);
  sub__freefont(33);  // the image uses it
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  sub__freeimage(image, 1);
  sub__freefont(33);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(frees, 1);
  EXPECT_FALSE(kx::is_loaded_font(33));
  sub__freefont(33);  // already free
  EXPECT_EQ(take_error(), uint32_t(err::invalid_handle));
  sub__freefont(16);  // built in
  EXPECT_EQ(take_error(), uint32_t(err::invalid_handle));
  EXPECT_EQ(loadfont(font_file(), 10), 33);  // the freed number is reused
}

TEST_F(Fonts, FontChoosesMeasuresAndRejects) {
  EXPECT_EQ(func__font(0, 0), 16);
  EXPECT_EQ(func__fontwidth(0, 0), 8);
  EXPECT_EQ(func__fontheight(0, 0), 16);
  EXPECT_EQ(func__fontheight(14, 1), 14);
  EXPECT_EQ(func__fontwidth(8, 1), 8);
  for (const int32_t f : {9, 15, 17, 7, 32, -1}) {
    EXPECT_EQ(func__fontwidth(f, 1), 0) << f;
    EXPECT_EQ(take_error(), uint32_t(err::invalid_handle)) << f;
    EXPECT_EQ(func__fontheight(f, 1), 0) << f;
    EXPECT_EQ(take_error(), uint32_t(err::invalid_handle)) << f;
  }
  sub__font(10, 0, 0);
  EXPECT_EQ(take_error(), uint32_t(err::invalid_handle));
  sub__font(8, -12345, 1);
  EXPECT_EQ(take_error(), uint32_t(err::invalid_handle));

  // A text screen changes font on every page at once, keeping the cursor.
  kxg_sub_locate(3, 7, 0, 0, 0, 3);
  sub__font(8, 0, 0);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(write_page->cursor_y, 3);
  EXPECT_EQ(write_page->cursor_x, 7);
  for (int32_t n = 0; n < pages; ++n) {
    if (page[uint64_t(n)]) {
      EXPECT_EQ(img[page[uint64_t(n)]].font, 8u) << n;
    }
  }
  EXPECT_EQ(func__font(1, 1), 8);

  // A pixel page: font 9 is accepted, the cursor goes home and the viewport
  // spans all rows but the last.
  kxg_screen(12, 0, 0, 0, 1);
  kxg_sub_locate(5, 5, 0, 0, 0, 3);
  sub__font(9, 0, 0);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(func__font(0, 0), 9);
  EXPECT_EQ(write_page->cursor_x, 1);
  EXPECT_EQ(write_page->cursor_y, 1);
  EXPECT_EQ(write_page->bottom_row, 480 / 8 - 1);
  EXPECT_EQ(printwidth("abc"), 48);
}

TEST_F(Fonts, PrintModeAndPrintWidth) {
  EXPECT_EQ(func__printmode(0, 0), print_mode_fill_background);
  for (const int32_t form : {2, 3, 0, 4}) {
    sub__printmode(form, 0, 0);
    EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call)) << form;
  }
  sub__printmode(1, 0, 0);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(printwidth("hello"), 5);  // characters on a text page
  sub__printmode(1, -999, 1);
  EXPECT_EQ(take_error(), uint32_t(err::invalid_handle));
  {
    const uint32_t mark = kxs_tmp_list_nexti;
    EXPECT_EQ(func__printwidth(str("abc"), -999, 1), 0);
    kxs_cleanup(mark, 0);
  }
  EXPECT_EQ(take_error(), uint32_t(err::invalid_handle));

  const int32_t image = func__newimage(50, 50, 13, 1);
  sub__printmode(2, image, 1);
  EXPECT_EQ(func__printmode(image, 1), print_mode_keep_background);
  sub__printmode(3, image, 1);
  EXPECT_EQ(func__printmode(image, 1), print_mode_only_background);
  sub__printmode(1, image, 1);
  EXPECT_EQ(func__printmode(image, 1), print_mode_fill_background);
  EXPECT_EQ(take_error(), 0u);
  sub__dest(image);
  EXPECT_EQ(printwidth(""), 0);
  EXPECT_EQ(printwidth("hello"), 40);
  kx::install_font_engine(&engine);
  sub__font(loadfont(font_file(), 4), image, 1);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(printwidth("abc"), 6);  // the proportional font's glyphs, 2 pixels each
}

TEST_F(Fonts, PrintStringPaintsCellsInEveryPrintMode) {
  kxg_screen(12, 0, 0, 0, 1);
  kxg_sub_color(14, 1, 0, 3);
  img_struct& s = *write_page;
  printstring(0, 0, "AB");
  ASSERT_EQ(take_error(), 0u);
  EXPECT_TRUE(cell_shows(s, 0, 0, 'A', 16, 14, 1));
  EXPECT_TRUE(cell_shows(s, 8, 0, 'B', 16, 14, 1));
  EXPECT_EQ(s.data[16], 0);  // nothing past the text
  EXPECT_EQ(s.data[16 * 640], 0);
  EXPECT_EQ(s.cursor_x, 1);  // the text cursor does not move

  // Glyph only: the paper under it is kept.
  std::memset(s.data, 5, 640 * 16);
  sub__printmode(2, 0, 0);
  printstring(0, 0, "A");
  EXPECT_TRUE(cell_shows(s, 0, 0, 'A', 16, 14, 5));
  // Paper only: the ink under it is kept.
  std::memset(s.data, 5, 640 * 16);
  sub__printmode(3, 0, 0);
  printstring(0, 0, "A");
  EXPECT_TRUE(cell_shows(s, 0, 0, 'A', 16, 5, 1));
  sub__printmode(1, 0, 0);

  // STEP moves from the graphics cursor, which the statement leaves at the
  // point; a cell reaching past the right edge is cut there.
  printstring(100, 30, "x");
  printstring(10, 2, "y", 0, 1);
  EXPECT_TRUE(cell_shows(s, 110, 32, 'y', 16, 14, 1));
  printstring(636, 100, "MM");
  EXPECT_EQ(s.data[100 * 640 + 639], 1);  // the first cell's paper is painted up to the edge
  EXPECT_EQ(take_error(), 0u);

  // Only the viewport is painted.
  std::memset(s.data, 0, 640 * 480);
  kxg_sub_view(20, 20, 27, 27, 0, 0, 1 | 2);
  printstring(16, 16, "\xDB\xDB");  // full blocks
  int32_t painted = 0;
  for (int32_t i = 0; i < 640 * 480; ++i) painted += s.data[i] != 0;
  EXPECT_EQ(painted, 64);
  EXPECT_EQ(s.data[20 * 640 + 20], 14);
  EXPECT_EQ(s.data[27 * 640 + 27], 14);
  EXPECT_EQ(s.data[19 * 640 + 20], 0);
}

TEST_F(Fonts, PrintStringOnDoubledFontsScreen13AndA32BitImage) {
  kxg_screen(13, 0, 0, 0, 1);
  kxg_sub_color(4, 0, 0, 1);
  kxg_sub_window(0, 0, 31.9f, 19.9f, 1 | 2);  // 10 pixels a unit
  printstring(1, 1, "Q");
  ASSERT_EQ(take_error(), 0u);
  EXPECT_TRUE(cell_shows(*write_page, 10, 10, 'Q', 8, 4, 0));

  // Font 9 paints the 8x8 glyphs twice as wide, 16 pixels a character.
  const int32_t handle = func__newimage(40, 20, 32, 1);
  img_struct& image = img[-handle];
  sub__font(9, handle, 1);
  image.color = 0xFFFF0000u;
  image.background_color = 0xFF0000FFu;
  const int32_t dest = func__dest();
  printstring(2, 3, "\xDB\xDB\xDB", handle, 2);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(func__dest(), dest);  // the destination is put back
  const uint32_t* px = kx::pixels32(image);
  EXPECT_EQ(px[3 * 40 + 2], 0xFFFF0000u);
  EXPECT_EQ(px[10 * 40 + 39], 0xFFFF0000u);  // the third cell, cut at the edge
  EXPECT_EQ(px[3 * 40 + 1], 0u);
  EXPECT_EQ(px[11 * 40 + 2], 0u);  // 8 rows high
  printstring(0, 0, "A", -77777, 2);
  EXPECT_EQ(take_error(), uint32_t(err::invalid_handle));
}

TEST_F(Fonts, PrintStringOnATextPageKeepsTheCursor) {
  kxg_sub_locate(2, 3, 0, 0, 0, 3);
  printstring(10, 5, "Hi");
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(row_text(5).substr(9, 3), "Hi ");
  EXPECT_EQ(write_page->cursor_y, 2);
  EXPECT_EQ(write_page->cursor_x, 3);
  printstring(81, 1, "x");
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  // A row below the screen is refused even while LOCATE may still open the
  // 50-line screen: placing text never rebuilds the pages.
  width8050switch = 1;
  printstring(1, 30, "x");
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  EXPECT_EQ(width8050switch, 1);
  EXPECT_EQ(write_page->height, 25);
  EXPECT_EQ(write_page->cursor_y, 2);
  EXPECT_EQ(write_page->cursor_x, 3);
  printstring(1, 1, "");  // empty text does nothing
  EXPECT_EQ(row_text(1), std::string(80, ' '));
  // Another page of the screen, by number; the write page stays.
  printstring(1, 1, "P", 1, 2);
  EXPECT_EQ(row_text(1, &img[page[1]]).substr(0, 1), "P");
  EXPECT_EQ(row_text(1), std::string(80, ' '));
}

}  // namespace
