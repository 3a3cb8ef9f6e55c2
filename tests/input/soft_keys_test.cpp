// KEY n, KEY ON, KEY OFF, KEY LIST and the key line on text and pixel
// screens, and soft keys typed while the program replaces them.
#include <atomic>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "base/error_numbers.h"
#include "base/hooks.h"
#include "frame/traps.h"
#include "input/inkey.h"
#include "input/key_codes.h"
#include "input/keyboard.h"
#include "input/soft_keys.h"
#include "input/trap_sources.h"
#include "screen/fonts/font_engine.h"
#include "screen/fonts/fonts.h"
#include "screen/fresh_screen.h"
#include "screen/images/color_statements.h"
#include "screen/images/image_create.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cls.h"
#include "screen/text/cursor.h"
#include "values/fresh_memory.h"

namespace {

class SoftKeys : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    keyboard_init();
    traps_init();
    kx::soft_keys_init();
  }
  void TearDown() override {
    kx::soft_keys_init();
    kx::hooks.key_line_redraw = [] {};
    fresh_screen::TearDown();
  }
  static void assign(int32_t n, const std::string& text) {
    const uint32_t mark = kxs_tmp_list_nexti;
    key_assign(n, kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size())));
    kxs_cleanup(mark, 0);
  }
  static std::string soft_text(int n) {
    const soft_key_text t = kx::soft_key_text_of(onkey[n]);
    return std::string(reinterpret_cast<const char*>(t.bytes.data()), t.length);
  }
  static int32_t rows() { return write_page->height; }
};

TEST_F(SoftKeys, KeyChecksItsNumberAndTextLength) {
  assign(1, std::string(16, 'x'));
  EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call));
  EXPECT_EQ(soft_text(1), "");
  assign(1, std::string(15, 'y'));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(soft_text(1), std::string(15, 'y'));
  for (const int32_t n : {0, 11, 14, 32, -1}) {
    assign(n, "a");
    EXPECT_EQ(take_error(), uint32_t(err::illegal_function_call)) << n;
  }
  assign(31, "F12 text");
  EXPECT_EQ(soft_text(31), "F12 text");

  // Trap keys: shift flags from every byte but the last, the scan code last.
  assign(15, std::string("\x04\x30\x1E", 3));
  EXPECT_EQ(kx::user_key_of(onkey[15]).scan_code, 0x1E);
  EXPECT_EQ(kx::user_key_of(onkey[15]).shift_flags, 0x34);
  assign(15, "");
  EXPECT_EQ(kx::user_key_of(onkey[15]).scan_code, 0);
  EXPECT_EQ(take_error(), 0u);

  // Nothing changes while an error is pending.
  new_error = uint32_t(err::overflow);
  assign(2, "late");
  assign(16, "Z");
  EXPECT_EQ(take_error(), uint32_t(err::overflow));
  EXPECT_EQ(soft_text(2), "");
  EXPECT_EQ(kx::user_key_of(onkey[16]).scan_code, 0);
}

TEST_F(SoftKeys, KeyLineOnTextScreensOf80And40Columns) {
  assign(1, "LIST");
  assign(2, "RUN\r");
  assign(10, "0123456789ABC");
  EXPECT_EQ(row_text(25), std::string(80, ' '));  // assigning draws nothing while the line is off
  kxg_sub_locate(4, 6, 0, 0, 0, 3);
  key_on();
  // Slots of 8 columns; the line stops before column 80.
  std::string expected = "1LIST   2RUN\x1B   3       4       5       6       7       8       9       1001234 ";
  EXPECT_EQ(row_text(25), expected);
  EXPECT_EQ(cell(25, 1), 0x0731);      // the label in the screen's colours
  EXPECT_EQ(cell(25, 2) >> 8, 0x70);   // the text inverted
  EXPECT_EQ(cell(25, 7) >> 8, 0x70);   // and its padding
  EXPECT_EQ(cell(25, 8) >> 8, 0x07);
  EXPECT_EQ(write_page->cursor_y, 4);  // the cursor is where it was
  EXPECT_EQ(write_page->cursor_x, 6);

  // CLS and VIEW PRINT draw the line again.
  sub_cls(0, 0, 0);
  EXPECT_EQ(row_text(25), expected);
  kxg_sub_view_print(2, 10, 1);
  EXPECT_EQ(row_text(25), expected);

  // After WIDTH 40 five slots fit.
  kxsub_width(kx_width_screen, 40, 0, 1);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(row_text(25), expected.substr(0, 39) + " ");

  key_off();
  EXPECT_EQ(row_text(25), std::string(40, ' '));
  // KEY OFF again draws nothing, nor does CLS with the line off.
  print("", false);
  kx::set_cell(*write_page, 24 * 40, kx::text_cell('Z', 7));
  key_off();
  EXPECT_EQ(row_text(25)[0], 'Z');
  sub_cls(2, 0, 1);
  EXPECT_EQ(row_text(25)[0], 'Z');
  EXPECT_EQ(take_error(), 0u);
}

// Every cell of the key line, character and attribute: each label in the
// screen's colours, each slot's text and padding inverted, the colours
// restored after each slot, and the unlabelled rest in the screen's colours.
TEST_F(SoftKeys, EveryCellOfTheKeyLineHasItsAttribute) {
  const std::string texts[] = {"LIST", "RUN\r", "", "LOAD\"", "", "", "SAVE", "", "CONT", "0123456789ABC"};
  for (int32_t f = 1; f <= 10; ++f) assign(f, texts[f - 1]);
  struct colours {
    int32_t foreground, background;
    uint16_t label, text;
  };
  // With a background, the text is 7 on 0; without, 0 on 7.
  for (const colours c : {colours{7, 0, 0x07, 0x70}, colours{14, 1, 0x1E, 0x07}}) {
    SCOPED_TRACE(c.foreground);
    kxg_sub_color(c.foreground, c.background, 0, 3);
    key_on();
    std::string chars = "1LIST   2RUN\x1B   3       4LOAD\"  5       6       7SAVE   8       9CONT   1001234 ";
    for (int32_t column = 1; column <= 80; ++column) {
      const int32_t f = (column - 1) / 8 + 1;
      const int32_t label_end = (f - 1) * 8 + (f < 10 ? 1 : 2);
      const bool text = !texts[f - 1].empty() && column > label_end && column < 8 * f && column < 80;
      const uint16_t attribute = text ? c.text : c.label;
      EXPECT_EQ(cell(25, column), uint16_t(attribute << 8 | uint8_t(chars[column - 1]))) << "column " << column;
    }
    // The colours after the line are the program's own.
    print("x", false);
    EXPECT_EQ(write_page->color, uint32_t(c.foreground));
    EXPECT_EQ(write_page->background_color, uint32_t(c.background));
    key_off();
  }
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(SoftKeys, KeyLineOnPixelScreensAndImagesTooShortForIt) {
  kxg_screen(12, 0, 0, 0, 1);
  assign(1, "AB");
  key_on();
  const img_struct& s = *write_page;
  const auto ink_in_cell = [&](int32_t column, uint8_t c) {
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        const bool ink = s.data[(464 + y) * 640 + (column - 1) * 8 + x] != 0;
        if (ink != (kx::glyph_pixel(16, c, x, y) != 0)) return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(ink_in_cell(1, '1'));
  EXPECT_TRUE(ink_in_cell(2, 'A'));
  EXPECT_TRUE(ink_in_cell(3, 'B'));
  EXPECT_TRUE(ink_in_cell(9, '2'));
  EXPECT_TRUE(ink_in_cell(73, '1'));
  EXPECT_TRUE(ink_in_cell(74, '0'));
  EXPECT_TRUE(ink_in_cell(81 - 1, ' '));
  EXPECT_EQ(s.data[463 * 640], 0);  // the row above is left alone

  // A 32-bit screen shorter than one text row gets no line at all.
  const int32_t handle = func__newimage(64, 10, 32, 1);
  kxg_screen(handle, 0, 0, 0, 1);
  ASSERT_EQ(take_error(), 0u);
  for (int32_t i = 0; i < 64 * 10; ++i) ASSERT_EQ(kx::pixels32(img[-handle])[i], 0u) << i;
  // One row high: it is painted opaque in the background colour.
  const int32_t row_high = func__newimage(64, 16, 32, 1);
  kxg_screen(row_high, 0, 0, 0, 1);
  EXPECT_EQ(kx::pixels32(img[-row_high])[63] >> 24, 0xFFu);
  EXPECT_EQ(take_error(), 0u);
}

// A proportional font whose glyphs are one column of ink then blank, 6
// pixels wide (")" 4), 10 high.
int32_t proportional_load(const uint8_t*, int32_t, int32_t, int32_t, int32_t) { return 1; }
int32_t proportional_width(int32_t) { return 0; }
int32_t proportional_ascii(int32_t, const uint8_t* text, int32_t, int32_t, uint8_t** out, int32_t* w, int32_t* h,
                           int32_t*, int32_t*) {
  *w = text[0] == ')' ? 4 : 6;
  *h = 10;
  *out = static_cast<uint8_t*>(std::calloc(size_t(*w) * *h, 1));
  for (int32_t y = 0; y < *h; ++y) (*out)[y * *w] = 255;
  return 1;
}
int32_t proportional_utf32(int32_t, const uint32_t*, int32_t, int32_t, uint8_t**, int32_t*, int32_t*, int32_t*,
                           int32_t*) {
  return 0;
}
void proportional_free(int32_t) {}
const kx::font_engine proportional_engine{proportional_load, proportional_width, proportional_ascii,
                                          proportional_utf32, proportional_free};

TEST_F(SoftKeys, KeyLineInAProportionalFontLeavesALeewayPerSlot) {
  kx::install_font_engine(&proportional_engine);
  const int32_t f = kx::register_loaded_font(1, 10, 0);
  const int32_t handle = func__newimage(240, 40, 32, 1);
  kxg_screen(handle, 0, 0, 0, 1);
  img_struct& s = img[-handle];
  selectfont(f, &s);
  s.color = 0xFFFFFFFFu;
  s.background_color = 0xFF000000u;
  assign(1, "AB");
  key_on();
  kx::install_font_engine(nullptr);
  ASSERT_EQ(take_error(), 0u);
  // Slots of 8 half-heights and a leeway (50 pixels), the line ending 10
  // pixels short of the fourth slot's end: four slots. Slot 1 shows "1)",
  // "AB" and spaces up to its right edge at 40; the others their labels.
  std::string inked;
  for (int32_t x = 0; x < 240; ++x) inked += kx::pixels32(s)[35 * 240 + x] == 0xFFFFFFFFu ? '#' : '.';
  std::string expected(240, '.');
  for (const int32_t x : {0, 6, 10, 16, 22, 28, 34, 50, 56, 100, 106, 150, 156}) expected[size_t(x)] = '#';
  EXPECT_EQ(inked, expected);
  EXPECT_EQ(kx::pixels32(s)[29 * 240], 0u);  // above the line: untouched
  EXPECT_EQ(kx::pixels32(s)[30 * 240 + 239], 0xFF000000u);
}

TEST_F(SoftKeys, KeyListShowsEveryKey) {
  assign(1, "LIST");
  assign(2, "RUN\r");
  assign(30, "Eleven");
  key_list();
  EXPECT_EQ(row_text(1).substr(0, 9), "F1  LIST ");
  EXPECT_EQ(row_text(2).substr(0, 9), "F2  RUN  ");
  EXPECT_EQ(row_text(3).substr(0, 5), "F3   ");
  EXPECT_EQ(row_text(10).substr(0, 5), "F10  ");
  EXPECT_EQ(row_text(11).substr(0, 11), "F11 Eleven ");
  EXPECT_EQ(row_text(12).substr(0, 4), "F12 ");
  EXPECT_EQ(write_page->cursor_y, 13);
}

TEST_F(SoftKeys, PressesWhileTheTextIsReplacedTypeOneWholeText) {
  const std::string first = "AAAA", second = "BBBBBBBBB";
  kxs* texts[2] = {kxs_new_txt_len(first.data(), 4), kxs_new_txt_len(second.data(), 9)};
  key_assign(1, texts[0]);
  constexpr int presses = 100;
  std::atomic<bool> pressed{false};
  std::atomic<bool> stop{false};
  std::thread window([&] {
    for (int i = 0; i < presses && !stop.load(); ++i) {
      while (pressed.load() && !stop.load()) std::this_thread::yield();
      keydown(key::f1);
      keyup(key::f1);
      pressed = true;
    }
  });
  std::set<std::string> seen;
  int switches = 0;
  for (int i = 0; i < presses; ++i) {
    while (!pressed.load()) key_assign(1, texts[++switches % 2]);
    std::string typed;
    for (kxs* k = kxs_inkey(); k->length; k = kxs_inkey()) {
      typed += text_of(k);
      kxs_free(k);
    }
    seen.insert(typed);
    pressed = false;
  }
  stop = true;
  window.join();
  kxs_free(texts[0]);
  kxs_free(texts[1]);
  for (const auto& t : seen) EXPECT_TRUE(t == first || t == second) << t;
  EXPECT_GT(switches, 0);
}

}  // namespace
