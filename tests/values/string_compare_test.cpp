#include <gtest/gtest.h>

#include "string_kinds.h"
#include "values/string_compare.h"

using string_compare = fresh_memory;

namespace {

struct relations {
  int eq, ne, lt, gt, le, ge, cmp;
};

relations all(std::string_view a, std::string_view b) {
  kxs* x = literal_of(a);
  kxs* y = literal_of(b);
  return {kxs_equal(x, y), kxs_notequal(x, y), kxs_lessthan(x, y), kxs_greaterthan(x, y),
          kxs_lessorequal(x, y), kxs_greaterorequal(x, y), func__str_compare(x, y)};
}

void expect_order(std::string_view a, std::string_view b, int order) {
  const relations r = all(a, b);
  EXPECT_EQ(r.cmp, order) << a << " vs " << b;
  EXPECT_EQ(r.eq, order == 0 ? -1 : 0);
  EXPECT_EQ(r.ne, order != 0 ? -1 : 0);
  EXPECT_EQ(r.lt, order < 0 ? -1 : 0);
  EXPECT_EQ(r.gt, order > 0 ? -1 : 0);
  EXPECT_EQ(r.le, order <= 0 ? -1 : 0);
  EXPECT_EQ(r.ge, order >= 0 ? -1 : 0);
}

}  // namespace

TEST_F(string_compare, BytewiseUnsignedWithShorterPrefixSmaller) {
  expect_order("ABC", "ABCD", -1);
  expect_order("ABD", "ABCD", 1);
  expect_order("", "A", -1);
  expect_order("", "", 0);
  expect_order("\xFF", "\x7F", 1);  // unsigned bytes
  expect_order(std::string_view("a\0b", 3), std::string_view("a\0c", 3), -1);
  expect_order(std::string_view("a\0", 2), "a", 1);
}

TEST_F(string_compare, CaseInsensitiveFoldsAsciiLettersOnly) {
  auto nc = [](std::string_view a, std::string_view b) { return func__str_nc_compare(literal_of(a), literal_of(b)); };
  EXPECT_EQ(nc("abc", "ABC"), 0);
  EXPECT_EQ(nc("abc", "ABD"), -1);
  EXPECT_EQ(nc("ABCD", "abc"), 1);
  // "[" (91) lies between "Z" and "a": folded, "Z" is "z" (122) and larger.
  EXPECT_EQ(nc("Z", "["), 1);
  EXPECT_EQ(nc("\xE4", "\xC4"), 1);  // not letters here
}
