#include <gtest/gtest.h>

#include <climits>

#include "string_kinds.h"
#include "values/string_extract.h"

using string_extract = fresh_memory;

TEST_F(string_extract, LeftAndRightClipTheirCounts) {
  EXPECT_EQ(text_of(kxs_left(literal_of("ABC"), -1)), "");
  EXPECT_EQ(text_of(kxs_left(literal_of("ABC"), 0)), "");
  EXPECT_EQ(text_of(kxs_left(literal_of("ABC"), 2)), "AB");
  EXPECT_EQ(text_of(kxs_right(literal_of("ABC"), 2)), "BC");
  EXPECT_EQ(text_of(kxs_right(literal_of("ABC"), INT_MIN)), "");
  // The whole string: the argument itself, whatever its kind.
  kxs* lit = literal_of("ABC");
  EXPECT_EQ(kxs_left(lit, 9), lit);
  EXPECT_EQ(kxs_right(lit, INT_MAX), lit);
  kxs* v = variable_of("ABC");
  EXPECT_EQ(kxs_left(v, 3), v);
}

TEST_F(string_extract, MidClipsStartAndCountWithoutErrors) {
  auto mid = [](int32_t start, int32_t n, bool passed) {
    return text_of(func_mid(literal_of("ABCDE"), start, n, passed));
  };
  EXPECT_EQ(mid(0, 3, true), "AB");
  EXPECT_EQ(mid(4, 0, false), "DE");
  EXPECT_EQ(mid(6, 0, false), "");
  EXPECT_EQ(mid(-3, 6, true), "AB");
  EXPECT_EQ(mid(-3, 4, true), "");
  EXPECT_EQ(mid(-100, 0, false), "ABCDE");
  // Start plus count beyond 2^31: clipped, not wrapped into a wild read.
  EXPECT_EQ(mid(2, INT_MAX, true), "BCDE");
  EXPECT_EQ(mid(INT_MAX, INT_MAX, true), "");
  EXPECT_EQ(mid(INT_MIN, INT_MAX, true), "");
  EXPECT_EQ(mid(INT_MIN, 0, false), "ABCDE");
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(string_extract, PartsOfReusableTemporariesAreTakenInPlace) {
  kxs* t = temp_of("ABCDEF");
  uint8_t* start = t->chars;
  EXPECT_EQ(kxs_left(t, 4), t);
  EXPECT_EQ(t->chars, start);
  EXPECT_EQ(text_of(t), "ABCD");
  EXPECT_EQ(kxs_right(t, 3), t);
  EXPECT_EQ(t->chars, start + 1);
  EXPECT_EQ(func_mid(t, 2, 1, 1), t);
  EXPECT_EQ(text_of(t), "C");
  EXPECT_EQ(func_mid(t, 5, 1, 1), t);
  EXPECT_EQ(t->length, 0);
  EXPECT_TRUE(pool_invariants_hold());

  // A variable is copied and keeps its text; a literal temporary is copied
  // and released.
  kxs* v = variable_of("HELLO");
  kxs* r = func_mid(v, 2, 3, 1);
  EXPECT_NE(r, v);
  EXPECT_EQ(text_of(r), "ELL");
  EXPECT_EQ(text_of(v), "HELLO");
  EXPECT_TRUE(r->is_temp);
  kxs* lit = literal_of("WORLD");
  r = kxs_right(lit, 2);
  EXPECT_EQ(text_of(r), "LD");
  EXPECT_FALSE(is_live_temp(lit));
  kxs* c = conventional_temp_of("SEGMENT");
  r = kxs_left(c, 3);
  EXPECT_EQ(text_of(r), "SEG");
  EXPECT_FALSE(r->in_conventional);
  EXPECT_FALSE(is_live_temp(c));
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_extract, CopyFromAVariableSurvivesPoolCompaction) {
  // A freed string below v and a full pool: making the result compacts the
  // pool and moves v down, so its bytes must be read after that.
  kxs* gap = kxs_new(5000, 0);
  kxs* v = variable_of("KEEP THIS TEXT");
  kxs_new(static_cast<int32_t>(kxs_data_size - kxs_sp - 40), 0);
  kxs_free(gap);
  const uint8_t* before = v->chars;
  kxs* r = func_mid(v, 6, 4, 1);
  EXPECT_NE(v->chars, before);
  EXPECT_EQ(text_of(r), "THIS");
  EXPECT_EQ(text_of(v), "KEEP THIS TEXT");
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_extract, TrimmingRemovesBlanksOnly) {
  EXPECT_EQ(text_of(kxs_ltrim(literal_of("  a b  "))), "a b  ");
  EXPECT_EQ(text_of(kxs_rtrim(literal_of("  a b  "))), "  a b");
  EXPECT_EQ(text_of(kxs__trim(literal_of("  a b  "))), "a b");
  EXPECT_EQ(text_of(kxs__trim(literal_of("    "))), "");
  EXPECT_EQ(text_of(kxs_ltrim(literal_of("\t x"))), "\t x");
  kxs* tab_end = literal_of("x \t");
  EXPECT_EQ(kxs_rtrim(tab_end), tab_end);  // nothing to remove: itself
  kxs* t = temp_of("  mid  ");
  uint8_t* start = t->chars;
  EXPECT_EQ(kxs__trim(t), t);
  EXPECT_EQ(t->chars, start + 2);
  EXPECT_EQ(text_of(t), "mid");
  const std::string with_nul("\0 \xFF ", 4);
  EXPECT_EQ(text_of(kxs_rtrim(literal_of(with_nul))), std::string("\0 \xFF", 3));
}

TEST_F(string_extract, AscRaisesErrorFiveOutsideTheString) {
  kxs* s = literal_of("A\xFF");
  EXPECT_EQ(kxs_asc(s), 65);
  EXPECT_EQ(kxs_asc(s, 2), 255);
  EXPECT_EQ(kxs_asc(s, 3), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(kxs_asc(s, 0), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(kxs_asc(s, INT_MIN), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(kxs_asc(literal_of("")), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(kxs_len(literal_of(std::string_view("a\0b", 3))), 3);
}
