#include <gtest/gtest.h>

#include <climits>

#include "base/hooks.h"
#include "files/file_fields.h"
#include "string_kinds.h"
#include "values/string_overwrite.h"
#include "values/string_startup.h"

using string_overwrite = fresh_memory;

namespace {

std::string mid_into(std::string_view target, int32_t start, int32_t n, bool passed, std::string_view t) {
  kxs* v = variable_of(target);
  sub_mid(v, start, n, literal_of(t), passed);
  return text_of(v);
}

}  // namespace

TEST_F(string_overwrite, MidStatementKeepsTheLengthAndClipsEverything) {
  EXPECT_EQ(mid_into("ABCDE", 2, 2, true, "xyz"), "AxyDE");
  EXPECT_EQ(mid_into("ABCDE", 0, 0, false, "12"), "2BCDE");
  EXPECT_EQ(mid_into("ABCDE", 4, 0, false, "123456"), "ABC12");
  EXPECT_EQ(mid_into("ABCDE", 6, 0, false, "1"), "ABCDE");
  EXPECT_EQ(mid_into("ABCDE", 1, 0, true, "1"), "ABCDE");
  EXPECT_EQ(mid_into("ABCDE", -1, 0, false, "12"), "ABCDE");  // all of t skipped
  EXPECT_EQ(mid_into("ABCDE", -1, 4, true, "1234"), "34CDE");
  EXPECT_EQ(mid_into("ABCDE", 2, INT_MAX, true, "123456"), "A1234");
  EXPECT_EQ(mid_into("ABCDE", INT_MIN, INT_MAX, true, "123"), "ABCDE");
  EXPECT_EQ(mid_into("ABCDE", INT_MAX, 5, true, "123"), "ABCDE");
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(string_overwrite, MidStatementOverlapsItselfAndSparesConstants) {
  kxs* v = variable_of("ABCDEF");
  sub_mid(v, 2, 0, v, 0);  // v's own bytes, moved one place right
  EXPECT_EQ(text_of(v), "AABCDE");
  sub_mid(nothingstring, 1, 0, literal_of("x"), 0);
  EXPECT_EQ(nothingstring->length, 0);
  static const char constant[] = "const";
  sub_mid(literal_of(constant), 1, 0, literal_of("X"), 0);
  EXPECT_STREQ(constant, "const");
  new_error = 5;
  sub_mid(v, 1, 0, literal_of("zz"), 0);
  EXPECT_EQ(text_of(v), "AABCDE");
}

TEST_F(string_overwrite, LsetAndRsetPadOrCut) {
  kxs* v = variable_of("wxyz");
  sub_lset(v, literal_of("AB"));
  EXPECT_EQ(text_of(v), "AB  ");
  sub_rset(v, literal_of("AB"));
  EXPECT_EQ(text_of(v), "  AB");
  sub_lset(v, literal_of("123456"));
  EXPECT_EQ(text_of(v), "1234");
  sub_rset(v, literal_of("ABCDEF"));
  EXPECT_EQ(text_of(v), "ABCD");
  sub_rset(v, literal_of(""));
  EXPECT_EQ(text_of(v), "    ");
  // Into a fixed-length string's own storage, from itself shifted.
  uint8_t storage[5] = {'a', 'b', 'c', 'd', 'e'};
  kxs* fixed = kxs_new_fixed(storage, 5, 0);
  kxs* part = kxs_new_fixed(storage + 1, 3, 1);
  sub_rset(fixed, part);
  EXPECT_EQ(text_of(fixed), "  bcd");
  EXPECT_EQ(v->length, 4);
}

TEST_F(string_overwrite, FieldLinkedTargetIsHandedToTheFileLayer) {
  // A link to a file that is not open is stale: the file layer drops it.
  const auto overwritten = kx::hooks.field_overwritten.load();
  kx::hooks.field_overwritten = lrset_field;  // as the file layer's start-up does
  kxs* fielded = variable_of("ab");
  fielded->field_link = new kx::field_link{99, 0, 2, 0};
  sub_rset(fielded, literal_of("x"));
  kx::hooks.field_overwritten = overwritten;
  EXPECT_EQ(text_of(fielded), " x");
  EXPECT_EQ(fielded->field_link, nullptr);
  EXPECT_EQ(new_error.load(), 0u);
}
