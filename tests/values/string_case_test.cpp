#include <gtest/gtest.h>

#include "string_kinds.h"
#include "values/string_case.h"

using string_case = fresh_memory;

TEST_F(string_case, OnlyAsciiLettersChangeAcrossAllBytes) {
  std::string all(256, '\0');
  for (int i = 0; i < 256; ++i) all[static_cast<size_t>(i)] = static_cast<char>(i);
  std::string upper = all, lower = all;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  EXPECT_EQ(text_of(kxs_ucase(temp_of(all))), upper);
  EXPECT_EQ(text_of(kxs_lcase(temp_of(all))), lower);
  // Long enough for the vector loop and its tail.
  std::string mixed;
  for (int i = 0; i < 1000; ++i) mixed += static_cast<char>("aZ@[`{z0"[i % 8]);
  std::string expected = mixed;
  for (char& c : expected)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  EXPECT_EQ(text_of(kxs_ucase(literal_of(mixed))), expected);
}

TEST_F(string_case, ReusableTemporaryIsRewrittenInPlaceOthersAreCopied) {
  kxs* t = temp_of("abc");
  uint8_t* bytes = t->chars;
  EXPECT_EQ(kxs_ucase(t), t);
  EXPECT_EQ(t->chars, bytes);
  EXPECT_EQ(text_of(t), "ABC");

  // A literal's constant text is never written.
  static const char constant[] = "xyz";
  kxs* lit = literal_of(constant);
  kxs* r = kxs_ucase(lit);
  EXPECT_NE(r, lit);
  EXPECT_EQ(text_of(r), "XYZ");
  EXPECT_STREQ(constant, "xyz");
  EXPECT_FALSE(is_live_temp(lit));  // the temporary argument was released
  EXPECT_TRUE(is_live_temp(r));

  // A variable keeps its text; a data-segment temporary is not reused.
  kxs* v = variable_of("Var");
  r = kxs_lcase(v);
  EXPECT_NE(r, v);
  EXPECT_EQ(text_of(v), "Var");
  EXPECT_EQ(text_of(r), "var");
  kxs* c = conventional_temp_of("Seg");
  r = kxs_ucase(c);
  EXPECT_NE(r, c);
  EXPECT_EQ(text_of(r), "SEG");
  EXPECT_FALSE(is_live_temp(c));

  // Nothing to change: the empty argument itself.
  kxs* e = literal_of("");
  EXPECT_EQ(kxs_ucase(e), e);
  EXPECT_TRUE(is_live_temp(e));
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_case, PendingErrorGivesEmptyTemporaryAndTouchesNothing) {
  kxs* t = temp_of("abc");
  new_error = 7;
  kxs* r = kxs_ucase(t);
  EXPECT_EQ(r->length, 0);
  EXPECT_TRUE(r->is_temp);
  EXPECT_EQ(text_of(t), "abc");
}
