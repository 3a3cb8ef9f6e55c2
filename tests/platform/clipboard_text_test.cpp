// What other programs receive from the clipboard and what the program reads
// back from them: code page 437 to UTF-8 and back, through the program's
// own _MAPUNICODE table.
#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "base/flags.h"
#include "platform/clipboard.h"
#include "screen/compose/presentation_state.h"
#include "screen/compose/window_statements.h"
#include "values/unicode_map.h"

namespace {

class clipboard_text : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    kx::unicode_map_reset();
  }
  void TearDown() override {
    new_error = 0;
    kx::unicode_map_reset();
  }
};

TEST_F(clipboard_text, code_page_text_goes_out_as_utf8_and_comes_back_the_same) {
  const std::string cp437 = "\xC9\xCD\xBB caf\x82 \xE0=1\r\n\t\xFE end";
  const std::string utf8 = kx::cp437_to_utf8(cp437);
  EXPECT_EQ(utf8, "\u2554\u2550\u2557 caf\u00e9 \u03b1=1\r\n\t\u25a0 end");
  EXPECT_EQ(kx::utf8_to_cp437(utf8), cp437);
  // Every byte but the blanks (0 and 255 show as spaces) survives the trip.
  std::string all;
  for (int c = 1; c < 255; ++c) all += static_cast<char>(c);
  EXPECT_EQ(kx::utf8_to_cp437(kx::cp437_to_utf8(all)), all);
}

TEST_F(clipboard_text, foreign_text_without_a_code_page_position_becomes_a_question_mark) {
  EXPECT_EQ(kx::utf8_to_cp437("\u20ac 5 \U0001F600!"), "? 5 ?!");
  // Broken sequences: a lone continuation byte, a cut-off sequence, a lead
  // byte followed by plain text.
  EXPECT_EQ(kx::utf8_to_cp437("a\x80" "b"), "a?b");
  EXPECT_EQ(kx::utf8_to_cp437("ab\xE2\x94"), "ab??");
  EXPECT_EQ(kx::utf8_to_cp437("\xC3" "A"), "?A");
  EXPECT_EQ(kx::latin1_to_cp437("caf\xE9 \xA4"), "caf\x82 ?");
}

TEST_F(clipboard_text, mapunicode_changes_the_table_the_clipboard_uses) {
  sub__mapunicode(9472, 196);
  EXPECT_EQ(func__mapunicode(196), 9472);
  EXPECT_EQ(kx::cp437_to_utf8("\xC4"), "\u2500");
  sub__mapunicode(0x20AC, 196);
  EXPECT_EQ(kx::cp437_to_utf8("\xC4"), "\u20ac");
  EXPECT_EQ(kx::utf8_to_cp437("\u20ac"), "\xC4");
  EXPECT_EQ(new_error.load(), 0u);
  EXPECT_EQ(func__mapunicode(256), 0);
  EXPECT_EQ(new_error.exchange(0), uint32_t{err::illegal_function_call});
  sub__mapunicode(65536, 1);
  EXPECT_EQ(new_error.exchange(0), uint32_t{err::illegal_function_call});
  sub__mapunicode(65, -1);
  EXPECT_EQ(new_error.exchange(0), uint32_t{err::illegal_function_call});
}

TEST_F(clipboard_text, screenmove_checks_its_form_and_leaves_a_request) {
  sub__screenmove(0, 0, 0);
  EXPECT_EQ(new_error.exchange(0), uint32_t{err::illegal_function_call});
  sub__screenmove(0, 0, 3);
  EXPECT_EQ(new_error.exchange(0), uint32_t{err::illegal_function_call});
  window_exists = 1;
  sub__screenmove(30, 40, 2);
  kx::screenmove_request r;
  ASSERT_TRUE(kx::take_screenmove_request(&r));
  EXPECT_FALSE(r.middle);
  EXPECT_EQ(r.x, 30);
  EXPECT_EQ(r.y, 40);
  EXPECT_FALSE(kx::take_screenmove_request(&r));
  full_screen = 1;
  sub__screenmove(1, 1, 1);
  EXPECT_FALSE(kx::take_screenmove_request(&r));
  full_screen = 0;
  window_exists = 0;
  EXPECT_EQ(func__screenx(), 0);
  EXPECT_EQ(func__screeny(), 0);
}

}  // namespace
