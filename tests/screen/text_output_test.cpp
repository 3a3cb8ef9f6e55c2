// PRINT, the cursor, VIEW PRINT, LOCATE, CLS, SCREEN(), TAB, SPC, LPRINT.
#include <algorithm>
#include <string>
#include <vector>

#include "fresh_screen.h"
#include "screen/images/color_statements.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cls.h"
#include "screen/text/cursor.h"
#include "screen/text/lprint.h"
#include "screen/text/screen_read.h"
#include "values/conventional_memory.h"

namespace {

class TextOutput : public fresh_screen {};

std::string text_of(kxs* s) { return std::string(reinterpret_cast<const char*>(s->chars), size_t(s->length)); }

TEST_F(TextOutput, AFullLineEndingWithSemicolonHoldsTheCursor) {
  print(std::string(80, 'a'), false);
  EXPECT_EQ(write_page->holding_cursor, 1);
  EXPECT_EQ(write_page->cursor_x, 80);
  EXPECT_EQ(func_pos(0), 1);
  EXPECT_EQ(func_csrlin(), 2);
  print("x", false);
  EXPECT_EQ(row_text(2).substr(0, 2), "x ");
  EXPECT_EQ(func_csrlin(), 2);
  EXPECT_EQ(func_pos(0), 2);
  // An empty PRINT only ends the held line.
  print(std::string(79, 'b'), false);
  EXPECT_EQ(write_page->holding_cursor, 1);
  print("", true);
  EXPECT_EQ(func_csrlin(), 3);
  EXPECT_EQ(func_pos(0), 1);
  // A held cursor survives LOCATE without a position as state 2.
  kxg_sub_locate(5, 1, 0, 0, 0, 3);
  print(std::string(80, 'c'), false);
  kxg_sub_locate(0, 0, 1, 0, 0, 4);
  EXPECT_EQ(write_page->holding_cursor, 2);
  kxg_sub_locate(5, 0, 0, 0, 0, 1);
  EXPECT_EQ(write_page->holding_cursor, 0);
}

TEST_F(TextOutput, LongLinesWrapAndTheViewportScrolls) {
  print(std::string(80, 'a') + "b");
  EXPECT_EQ(row_text(2)[0], 'b');
  EXPECT_EQ(func_csrlin(), 3);
  // Row 25 lies outside the viewport and never scrolls.
  kxg_sub_locate(25, 1, 0, 0, 0, 3);
  print("bottom", false);
  kxg_sub_view_print(5, 10, 1);
  for (int i = 0; i < 8; ++i) print("line " + std::to_string(i));
  EXPECT_EQ(row_text(5).substr(0, 6), "line 3");
  EXPECT_EQ(row_text(10).substr(0, 6), "      ");
  EXPECT_EQ(row_text(9).substr(0, 6), "line 7");
  EXPECT_EQ(row_text(2)[0], 'b');
  EXPECT_EQ(row_text(25).substr(0, 6), "bottom");
  EXPECT_EQ(func_csrlin(), 10);
  // The blank row takes the background colour.
  kxg_sub_color(14, 1, 0, 3);
  print("x");
  EXPECT_EQ(cell(10, 1), 0x1E20);
}

TEST_F(TextOutput, ControlCharactersMoveTheCursorUntilSwitchedOff) {
  kxg_sub_locate(5, 5, 0, 0, 0, 3);
  print(std::string("\x1C\x1C\x1E\x1D"), false);
  EXPECT_EQ(write_page->cursor_x, 6);
  EXPECT_EQ(write_page->cursor_y, 4);
  print("\x0B", false);
  EXPECT_EQ(write_page->cursor_x, 1);
  EXPECT_EQ(write_page->cursor_y, 1);
  print("ab\tc", false);
  EXPECT_EQ(row_text(1).substr(0, 10), "ab      c ");
  print(std::string("\x07"), false);  // the bell prints nothing
  EXPECT_EQ(write_page->cursor_x, 10);
  sub__controlchr(2);
  EXPECT_EQ(func__controlchr(), -1);
  print(std::string("\x07\x0D"), false);
  EXPECT_EQ(cell(1, 10) & 0xFF, 7);
  EXPECT_EQ(cell(1, 11) & 0xFF, 13);
  sub__controlchr(1);
  EXPECT_EQ(func__controlchr(), 0);
  // Form feed clears the screen.
  print("\x0C", false);
  EXPECT_EQ(cell(1, 1), blank_text_cell);
}

TEST_F(TextOutput, PrintZonesAndTabAndSpc) {
  print("a", false);
  tab();
  print("b", false);
  EXPECT_EQ(row_text(1)[14], 'b');
  kxg_sub_locate(2, 60, 0, 0, 0, 3);
  tab();
  EXPECT_EQ(write_page->cursor_x, 80);
  kxg_sub_locate(3, 1, 0, 0, 0, 3);
  EXPECT_EQ(text_of(func_tab(10)), std::string(9, ' '));
  kxg_sub_locate(3, 20, 0, 0, 0, 3);
  EXPECT_EQ(text_of(func_tab(10)), "\r" + std::string(9, ' '));
  EXPECT_EQ(text_of(func_tab(85)), "\r" + std::string(4, ' '));
  EXPECT_EQ(text_of(func_spc(5)), std::string(5, ' '));
  kxg_sub_locate(3, 78, 0, 0, 0, 3);
  EXPECT_EQ(text_of(func_spc(5)), "\r" + std::string(2, ' '));
  EXPECT_EQ(text_of(func_tab(40000)), "");
  EXPECT_EQ(take_error(), 7u);
  EXPECT_EQ(text_of(func_spc(-40000)), "");
  EXPECT_EQ(take_error(), 7u);
  EXPECT_EQ(text_of(kx::tab_text(3, 10, 0, true)), "\r\n  ");
  // makefit moves a long item to the next line.
  kxg_sub_locate(4, 75, 0, 0, 0, 3);
  const uint32_t mark = kxs_tmp_list_nexti;
  makefit(kxs_new_txt("0123456789"));
  kxs_cleanup(mark, 0);
  EXPECT_EQ(write_page->cursor_y, 5);
  EXPECT_EQ(write_page->cursor_x, 1);
}

TEST_F(TextOutput, LocateOpensFiftyLinesOnceAndChecksItsArguments) {
  print("first line");
  kxg_sub_color(14, 0, 0, 1);
  kxg_sub_locate(40, 1, 0, 0, 0, 3);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(write_page->height, 50);
  EXPECT_EQ(write_page->font, 8u);
  EXPECT_EQ(row_text(1).substr(0, 10), "first line");
  EXPECT_EQ(write_page->color, 14u);
  EXPECT_EQ(func_csrlin(), 40);
  kxg_screen(0, 0, 0, 0, 1);
  kxsub_width(kx_width_screen, 80, 25, 3);
  kxg_sub_locate(40, 1, 0, 0, 0, 3);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(write_page->height, 25);

  const int32_t x = write_page->cursor_x, y = write_page->cursor_y;
  for (const auto& args : {std::array<int32_t, 6>{1, 81, 0, 0, 0, 3}, {1, 1, 2, 0, 0, 7}, {1, 1, 0, 32, 0, 9},
                           {1, 1, 0, 0, -1, 17}, {0, 0, 0, 0, 0, 1}}) {
    kxg_sub_locate(args[0], args[1], args[2], args[3], args[4], args[5]);
    EXPECT_EQ(take_error(), 5u) << args[0] << "," << args[1];
    EXPECT_EQ(write_page->cursor_x, x);
    EXPECT_EQ(write_page->cursor_y, y);
  }
  // Row 25 lies below the viewport but may be reached.
  kxg_sub_locate(25, 80, 0, 0, 0, 3);
  EXPECT_EQ(take_error(), 0u);
  // The shape goes to every page of the screen.
  kxg_sub_locate(0, 0, 1, 0, 7, 28);
  EXPECT_EQ(img[page[5]].cursor_show, 1);
  EXPECT_EQ(img[page[5]].cursor_last_line, 7);
}

TEST_F(TextOutput, ViewPrintChecksItsRows) {
  kxg_sub_view_print(0, 5, 1);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_view_print(6, 5, 1);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_view_print(1, 26, 1);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(write_page->bottom_row, 24);
  kxg_sub_view_print(0, 0, 0);
  EXPECT_EQ(write_page->bottom_row, 25);
  kxg_sub_locate(24, 0, 0, 0, 0, 1);
  kxg_sub_locate(3, 0, 0, 0, 0, 1);
  kxg_sub_view_print(3, 4, 1);
  kxg_sub_locate(2, 0, 0, 0, 0, 1);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(TextOutput, ClsClearsByMethod) {
  for (int r = 1; r <= 25; ++r) {
    kxg_sub_locate(r, 1, 0, 0, 0, 3);
    print("row", false);
  }
  kxg_sub_view_print(5, 10, 1);
  sub_cls(2, 0, 1);
  EXPECT_EQ(row_text(4).substr(0, 3), "row");
  EXPECT_EQ(row_text(5).substr(0, 3), "   ");
  EXPECT_EQ(row_text(25).substr(0, 3), "row");
  EXPECT_EQ(func_csrlin(), 5);
  sub_cls(0, 0, 0);  // the viewport and the last row
  EXPECT_EQ(row_text(25).substr(0, 3), "   ");
  EXPECT_EQ(row_text(4).substr(0, 3), "row");
  sub_cls(0, 4, 3);
  EXPECT_EQ(row_text(4).substr(0, 3), "   ");
  EXPECT_EQ(cell(1, 1), 0x4720);
  sub_cls(3, 0, 1);
  EXPECT_EQ(take_error(), 5u);

  kxg_screen(13, 0, 0, 0, 1);
  sub_cls(0, 256, 2);
  EXPECT_EQ(take_error(), 5u);
  sub_cls(0, 9, 2);
  EXPECT_EQ(write_page->data[0], 9);
  EXPECT_EQ(write_page->data[319 * 200 - 1], 9);
  const int32_t rgba = func__newimage(4, 4, 32, 1);
  sub__dest(rgba);
  sub_cls(0, 0x40FF0000, 2);  // the fill replaces, it does not blend
  EXPECT_EQ(kx::pixels32(img[-rgba])[5], 0x40FF0000u);
}

TEST_F(TextOutput, ScrolledInPixelRowsTakeTheBackgroundUnblended) {
  // 16 x 48 with font 16: text rows 1-2 scroll, row 3 lies outside.
  const int32_t rgba = func__newimage(16, 48, 32, 1);
  img_struct& image = img[-rgba];
  sub__dest(rgba);
  const uint32_t green = 0xFF00FF00u, translucent_red = 0x40FF0000u;
  std::fill_n(kx::pixels32(image), 16 * 48, green);
  image.background_color = translucent_red;
  kxg_sub_locate(2, 1, 0, 0, 0, 3);
  print("");  // a new line from the last viewport row scrolls rows 1-2
  for (const int32_t y : {16, 31}) {
    EXPECT_EQ(kx::pixels32(image)[y * 16], translucent_red) << y;
    EXPECT_EQ(kx::pixels32(image)[y * 16 + 15], translucent_red) << y;
  }
  EXPECT_EQ(kx::pixels32(image)[0], green);    // row 1 took row 2's old pixels
  EXPECT_EQ(kx::pixels32(image)[32 * 16], green);  // row 3 stays
}

TEST_F(TextOutput, PixelPagesDrawGlyphsAndScreenReadsThemBack) {
  kxg_screen(12, 0, 0, 0, 1);
  kxg_sub_color(12, 0, 0, 1);
  print("A", false);
  EXPECT_EQ(func_screen(1, 1, 0, 0), 65u);
  EXPECT_EQ(func_screen(1, 1, 1, 1), 12u);
  EXPECT_EQ(func_screen(1, 2, 0, 0), 32u);
  EXPECT_EQ(func_screen(1, 2, 1, 1), 1u);
  func_screen(31, 1, 0, 0);
  EXPECT_EQ(take_error(), 5u);
  // Scrolling moves the glyph up one text row.
  kxg_sub_locate(29, 1, 0, 0, 0, 3);
  print("B");
  EXPECT_EQ(func_screen(28, 1, 0, 0), 66u);
  // Print mode 1 keeps the background.
  write_page->print_mode = print_mode_keep_background;
  write_page->background_color = 3;
  kxg_sub_locate(2, 1, 0, 0, 0, 3);
  print("C", false);
  EXPECT_EQ(write_page->data[16 * 640 + 0], 0);
}

TEST_F(TextOutput, TheConsoleImageGetsExactlyTheStringsBytes) {
  write_page->console = 1;
  testing::internal::CaptureStdout();
  print(std::string("a\0b", 3), true);
  print("c", false);
  const std::string out = testing::internal::GetCapturedStdout();
  write_page->console = 0;
  EXPECT_EQ(out, std::string("a\0b\nc", 5));
}

TEST_F(TextOutput, LprintWrapsAtThePrinterWidth) {
  kxsub_width(kx_width_lprint, 10, 0, 1);
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs_lprint(kxs_new_txt("0123456789AB"), 0);
  kxs_cleanup(mark, 0);
  EXPECT_EQ(func_lpos(0), 3);
  func_lpos(4);
  EXPECT_EQ(take_error(), 5u);
  const img_struct& printer = img[lprint_image.load()];
  EXPECT_EQ(printer.width, 640);
  EXPECT_EQ(printer.height, 960);
  EXPECT_EQ(printer.cursor_y, 2);
  // The program's destination is untouched by the printer.
  EXPECT_EQ(write_page, &img[page[0]]);
  EXPECT_EQ(lprint_buffered.load(), 1);
}

// CLEAR frees the program's images but not the printer page, so a later
// image never shares its record and LPRINT never draws into it; a page whose
// image table was reset is made anew.
// TAB and SPC in LPRINT measure against the printer's column and line
// width, whatever the screen's cursor does.
TEST_F(TextOutput, LprintTabAndSpcMeasureAgainstThePrinter) {
  kxg_sub_locate(1, 50, 0, 0, 0, 3);
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs_lprint(kxs_new_txt("ab"), 0);
  EXPECT_EQ(text_of(func_tab_lprint(10)), std::string(7, ' '));
  EXPECT_EQ(text_of(func_tab(10)), "\r" + std::string(9, ' '));  // the screen's column 50 is past 10
  kxsub_width(kx_width_lprint, 20, 0, 1);
  EXPECT_EQ(text_of(func_spc_lprint(25)), std::string(5, ' '));  // modulo the printer's 20 columns
  EXPECT_EQ(text_of(func_spc_lprint(19)), "\r" + std::string(1, ' '));  // past the 18 left on the line
  kxs_cleanup(mark, 0);
  kxsub_width(kx_width_lprint, 80, 0, 1);
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(TextOutput, LprintKeepsItsOwnPageThroughClear) {
  const auto lprint_text = [](const char* text) {
    const uint32_t mark = kxs_tmp_list_nexti;
    kxs_lprint(kxs_new_txt(text), 1);
    kxs_cleanup(mark, 0);
  };
  lprint_text("first");
  const int32_t printer = lprint_image.load();
  ASSERT_TRUE(img[printer].valid);
  freeallimages();
  EXPECT_TRUE(img[printer].valid);
  sub__freeimage(-printer, 1);
  EXPECT_EQ(take_error(), 5u);  // not the program's to free
  EXPECT_TRUE(img[printer].valid);

  const int32_t handle = func__newimage(640, 960, 13, 1);
  ASSERT_LT(handle, 0);
  EXPECT_NE(-handle, printer);
  img_struct& mine = img[-handle];
  const std::vector<uint8_t> before(mine.data, mine.data + 640 * 960);
  lprint_text("second");
  EXPECT_EQ(std::vector<uint8_t>(mine.data, mine.data + 640 * 960), before);
  EXPECT_EQ(lprint_image.load(), printer);
  EXPECT_EQ(img[printer].cursor_y, 3);

  // The whole table reset (as between programs' start-ups): the next LPRINT
  // makes its page again instead of writing through a stale record.
  kx::release_all_images();
  screen_images_init();
  screen_mode_init();
  lprint_text("third");
  ASSERT_TRUE(img[lprint_image.load()].valid);
  EXPECT_EQ(img[lprint_image.load()].cursor_y, 2);
  EXPECT_EQ(new_error.load(), 0u);
}

}  // namespace
