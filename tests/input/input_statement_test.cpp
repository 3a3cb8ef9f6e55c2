// The INPUT line editor, driven by keys waiting in the type-ahead buffer:
// what reaches the variables and what the screen shows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "input/bios_keyboard.h"
#include "input/input_statement.h"
#include "input/keyboard.h"
#include "screen/fresh_screen.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cursor.h"
#include "values/rounding.h"
#include "values/type_codes.h"

namespace {

namespace tc = kx::type_code;
constexpr int32_t INTEGER = 16, LONG = 32, INTEGER64 = 64, UINTEGER64 = 64 | tc::is_unsigned;
constexpr int32_t SINGLE = 32 | tc::is_floating, DOUBLE = 64 | tc::is_floating, FLOAT = 256 | tc::is_floating;
constexpr int32_t STRING = tc::is_string;

class input_statement : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    keyboard_init();
  }
  void TearDown() override {
    for (kxs* s : strings_) kxs_free(s);
    fresh_screen::TearDown();
  }

  // The keys the user types (at most the buffer's 15), then the statement.
  static void type(const std::string& keys) {
    ASSERT_LE(keys.size(), 15u);
    for (char c : keys) ASSERT_TRUE(bios_keyboard_put(static_cast<uint8_t>(c), 0));
  }
  static void variable(int32_t i, int32_t type, void* address) {
    kxs_input_variabletypes[i] = type;
    kxs_input_variableoffsets[i] = address;
  }
  kxs* string_variable(int32_t i, int32_t type = STRING) {
    kxs* s = kxs_new(0, 0);
    strings_.push_back(s);
    variable(i, type, s);
    return s;
  }
  static std::string typed_row(int32_t row) {
    std::string text = row_text(row);
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  std::vector<kxs*> strings_;
};

std::string text(const kxs* s) { return std::string(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length)); }

}  // namespace

TEST_F(input_statement, IntegersRefuseKeysThatCannotFit) {
  int16_t a = 99;
  variable(1, INTEGER, &a);
  type("32768\r");
  kxs_input(1, 1);
  EXPECT_EQ(a, 3276);
  EXPECT_EQ(typed_row(1), "3276");
  EXPECT_EQ(func_csrlin(), 2);  // the newline after ENTER
  type("05-1\r");  // no leading zeros: 0 then nothing more
  kxs_input(1, 0);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(typed_row(2), "0");
  type("-32769\r");
  print("");
  kxs_input(1, 1);
  EXPECT_EQ(a, -3276);
  type("&HFFFF\r");
  kxs_input(1, 1);
  EXPECT_EQ(a, -1);  // the raw pattern
  type("&H10000\r");
  kxs_input(1, 1);
  EXPECT_EQ(a, 0x1000);
  EXPECT_EQ(typed_row(5), "&H1000");
  int32_t l = 0;
  variable(1, LONG, &l);
  type("-2147483648\r");
  kxs_input(1, 1);
  EXPECT_EQ(l, INT32_MIN);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(input_statement, SixtyFourBitIntegers) {
  int64_t a = 0;
  uint64_t b = 0;
  variable(1, INTEGER64, &a);
  variable(2, UINTEGER64, &b);
  type("-12,&HFFFF\r");
  kxs_input(2, 1);
  EXPECT_EQ(a, -12);
  EXPECT_EQ(b, 0xFFFFu);
  type("07,-1\r");  // the leading zero and the sign of an unsigned are refused
  kxs_input(2, 1);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1u);
  EXPECT_EQ(typed_row(2), "0,1");
}

TEST_F(input_statement, FloatingTypes) {
  float s = 0;
  variable(1, SINGLE, &s);
  type("1.234567891\r");
  kxs_input(1, 1);
  EXPECT_EQ(typed_row(1), "1.2345678");  // eight digits with a fraction
  EXPECT_EQ(s, 1.2345678f);
  type("1.E2e-3D\r");  // no letter right after the point, no D for SINGLE
  kxs_input(1, 1);
  EXPECT_EQ(typed_row(2), "1.2e-3");
  EXPECT_EQ(s, 1.2e-3f);
  type("4E39\r");
  kxs_input(1, 1);
  EXPECT_EQ(typed_row(3), "4E3");
  double d = 0;
  variable(1, DOUBLE, &d);
  type("-.5D+12\r");
  kxs_input(1, 1);
  EXPECT_EQ(d, -.5e12);
  type("0E1.5\r");  // an exponent needs a significant digit before it
  kxs_input(1, 1);
  EXPECT_EQ(typed_row(5), "0.5");
  EXPECT_EQ(d, 0.5);
  kx_float f = 0;
  variable(1, FLOAT, &f);
  type("-2.5D-3\r");
  kxs_input(1, 1);
  EXPECT_EQ(f, static_cast<kx_float>(-2.5e-3));  // scanned as a double, then widened
  type("&HFFFFFFFFFFFF\r");
  kxs_input(1, 1);
  EXPECT_EQ(f, 281474976710655.0L);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(input_statement, SeveralVariablesQuotesAndLineInput) {
  int16_t a = 5;
  kxs* b = string_variable(2);
  variable(1, INTEGER, &a);
  type("12,ab,c\r");  // a third argument is refused
  kxs_input(2, 1);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(text(b), "abc");
  EXPECT_EQ(typed_row(1), "12,abc");
  type("7\r");  // the second variable is left empty
  kxs_input(2, 1);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(text(b), "");
  type(",\"A,B\"x\r");  // nothing may follow the closing mark
  kxs_input(2, 1);
  EXPECT_EQ(text(b), "A,B");
  EXPECT_EQ(a, 0);
  EXPECT_EQ(typed_row(3), ",\"A,B\"");
  kxs* line = string_variable(1, STRING | tc::line_input);
  type("a,\"b\" c\r");
  kxs_input(1, 1);
  EXPECT_EQ(text(line), "a,\"b\" c");
}

// The line holds 255 characters; keys past that are dropped until Enter.
// More keys than the type-ahead buffer holds come from a second thread, as
// the window thread delivers them, while the statement reads.
TEST_F(input_statement, TheLineStopsAt255Characters) {
  kxs* s = string_variable(1);
  std::string keys(300, 'k');
  keys += '\r';
  std::thread typist([&] {
    for (char c : keys) {
      while (!bios_keyboard_put(static_cast<uint8_t>(c), 0)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  kxs_input(1, 1);
  typist.join();
  EXPECT_EQ(text(s), std::string(255, 'k'));
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(input_statement, TabBackspaceBellAndIgnoredKeys) {
  kxs* s = string_variable(1);
  type("abc\t!\r");
  kxs_input(1, 1);
  EXPECT_EQ(text(s), "abc     !");
  type("12\b\b\b5\x0b\x1c\n6\r");
  kxs_input(1, 1);
  EXPECT_EQ(text(s), "56");
  EXPECT_EQ(typed_row(2), "56");
  // A fixed-length string refuses text longer than itself.
  char storage[3];
  kxs* fixed = kxs_new_fixed(reinterpret_cast<uint8_t*>(storage), 3, 0);
  strings_.push_back(fixed);
  variable(1, STRING, fixed);
  type("wxyz\r");
  kxs_input(1, 1);
  EXPECT_EQ(std::string(storage, 3), "wxy");
  type("q\r");
  kxs_input(1, 1);
  EXPECT_EQ(std::string(storage, 3), "q  ");
}

TEST_F(input_statement, RefusedKeysRestoreTheScreenEvenAfterScrolling) {
  int16_t a = 0;
  variable(1, INTEGER, &a);
  kxg_sub_locate(24, 79, 0, 0, 0, 3);
  ASSERT_EQ(take_error(), 0u);
  type("1234x5\r");
  kxs_input(1, 0);
  EXPECT_EQ(a, 12345);
  // The line wrapped at the bottom of the text viewport and scrolled once;
  // the refused key left no trace.
  EXPECT_EQ(typed_row(23), std::string(78, ' ') + "12");
  EXPECT_EQ(typed_row(24), "345");
  EXPECT_EQ(func_pos(0), 4);
}

TEST_F(input_statement, GraphicsScreensGetTheLineBackPixelForPixel) {
  kxg_screen(12, 0, 0, 0, 1);
  ASSERT_EQ(take_error(), 0u);
  const int images = valid_images();
  const std::vector<uint8_t> before(write_page->data, write_page->data + kx::image_bytes(*write_page));
  int16_t a = 0;
  variable(1, INTEGER, &a);
  type("4\bx12a\r");
  kxs_input(1, 0);
  EXPECT_EQ(a, 12);
  const std::vector<uint8_t> typed(write_page->data, write_page->data + kx::image_bytes(*write_page));
  // The same screen as printing just the accepted text.
  std::memcpy(write_page->data, before.data(), before.size());
  kxg_sub_locate(1, 1, 0, 0, 0, 3);
  print("12", false);
  const std::vector<uint8_t> printed(write_page->data, write_page->data + kx::image_bytes(*write_page));
  EXPECT_TRUE(typed == printed);
  EXPECT_NE(typed, before);
  EXPECT_EQ(valid_images(), images);  // both copies were freed
}

TEST_F(input_statement, CountsOutsideTheTablesAreRefused) {
  kxs_input(257, 1);
  EXPECT_EQ(take_error(), 5u);
  kxs_input(0, 1);
  EXPECT_EQ(take_error(), 5u);
}
