#include <gtest/gtest.h>

#include <climits>

#include "string_kinds.h"
#include "values/string_build.h"

using string_build = fresh_memory;

TEST_F(string_build, ChrTakesBytesOnly) {
  EXPECT_EQ(text_of(func_chr(0)), std::string(1, '\0'));
  EXPECT_EQ(text_of(func_chr(255)), "\xFF");
  kxs* r = func_chr(256);
  EXPECT_EQ(r->length, 0);
  EXPECT_TRUE(r->is_temp);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_chr(-1)->length, 0);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(string_build, SpaceAndStringCountNegativeAsZero) {
  EXPECT_EQ(text_of(func_space(3)), "   ");
  EXPECT_EQ(func_space(-5)->length, 0);
  EXPECT_EQ(func_space(INT_MIN)->length, 0);
  EXPECT_EQ(text_of(func_string(4, 65)), "AAAA");
  EXPECT_EQ(text_of(func_string(2, 256 + 66)), "BB");  // low 8 bits
  EXPECT_EQ(text_of(func_string(2, -1)), "\xFF\xFF");
  EXPECT_EQ(func_string(-1, 65)->length, 0);
  EXPECT_EQ(text_of(func_string(3, literal_of("*x"))), "***");
  EXPECT_EQ(new_error.load(), 0u);
  EXPECT_EQ(func_string(3, literal_of(""))->length, 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_build, VarptrIsTypeThenOffsetLowByteFirst) {
  EXPECT_EQ(text_of(func_varptr_helper(3, 0x1234)), "\x03\x34\x12");
}
