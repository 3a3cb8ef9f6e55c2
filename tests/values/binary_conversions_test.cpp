#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "string_kinds.h"
#include "values/binary_conversions.h"

using binary_conversions = fresh_memory;

TEST_F(binary_conversions, IntegersRoundTripInLittleEndianBytes) {
  EXPECT_EQ(string2i(i2string(-2)), -2);
  EXPECT_EQ(text_of(l2string(1)), bytes({1, 0, 0, 0}));
  EXPECT_EQ(text_of(i2string(0x1234)), bytes({0x34, 0x12}));
  EXPECT_EQ(string2b(literal_of("\xFF")), -1);
  EXPECT_EQ(string2ub(literal_of("\xFF")), 255);
  EXPECT_EQ(string2i64(i642string(INT64_MIN)), INT64_MIN);
  EXPECT_EQ(string2d(d2string(0.1)), 0.1);
  // Extra bytes are ignored.
  EXPECT_EQ(string2i(literal_of(bytes({1, 2, 3, 4}))), 0x0201);
}

TEST_F(binary_conversions, TooFewBytesIsErrorFiveAndZero) {
  EXPECT_EQ(string2i(literal_of("\x01")), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(string2l(literal_of("abc")), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(string2b(literal_of("")), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(string2f(d2string(1.0)), 0.0L);  // 8 of the 32 bytes
  EXPECT_EQ(take_error(), 5u);
  // While an error is pending nothing is read or made.
  new_error = 9;
  EXPECT_EQ(string2l(l2string(7)), 0);
  EXPECT_EQ(i2string(3)->length, 0);
}

TEST_F(binary_conversions, FloatIsTheExtendedValueThenZeros) {
  const kx_float third = 1.0L / 3.0L;
  kxs* s = f2string(third);
  ASSERT_EQ(s->length, 32);
  uint8_t expected[32] = {};
  std::memcpy(expected, &third, 10);
  EXPECT_EQ(std::memcmp(s->chars, expected, 32), 0);
  EXPECT_EQ(string2f(s), third);
  // -1: sign and exponent in bytes 9 and 8 (0xBFFF), mantissa 0x8000... .
  EXPECT_EQ(text_of(f2string(-1.0L)).substr(0, 10), bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xBF}));
  EXPECT_TRUE(std::isinf(string2f(f2string(std::numeric_limits<kx_float>::infinity()))));
}

TEST_F(binary_conversions, BitTypesKeepLowBitsAndSignExtend) {
  EXPECT_EQ(text_of(bit2string(3, -1)), "\x07");
  EXPECT_EQ(string2bit(literal_of("\x07"), 3), -1);
  EXPECT_EQ(string2ubit(literal_of("\x07"), 3), 7u);
  EXPECT_EQ(string2bit(literal_of("\x03"), 3), 3);
  EXPECT_EQ(string2bit(literal_of("\xFC"), 3), -4);  // only the low 3 bits count
  EXPECT_EQ(text_of(ubit2string(12, 0xABCD)), bytes({0xCD, 0x0B}));
  EXPECT_EQ(string2bit(ubit2string(12, 0x800), 12), -2048);
  EXPECT_EQ(string2bit(bit2string(64, INT64_MIN), 64), INT64_MIN);
  EXPECT_EQ(string2ubit(ubit2string(64, UINT64_MAX), 64), UINT64_MAX);
  EXPECT_EQ(bit2string(33, 0)->length, 5);
  EXPECT_EQ(string2bit(literal_of("\x01"), 9), 0);  // needs 2 bytes
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(bit2string(0, 1)->length, 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(string2ubit(literal_of("12345678"), 65), 0u);
  EXPECT_EQ(take_error(), 5u);
}
