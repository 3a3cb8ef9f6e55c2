#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <limits>
#include <random>

#include "string_kinds.h"
#include "values/hex_oct.h"

using hex_oct = fresh_memory;

namespace {

std::string hex(int64_t v, int width) { return text_of(func_hex(v, width)); }
std::string oct(int64_t v, int width) { return text_of(func_oct(v, width)); }

}  // namespace

TEST_F(hex_oct, HexByTypeWidth) {
  EXPECT_EQ(hex(0, 8), "0");
  EXPECT_EQ(hex(-1, 4), "FFFF");
  EXPECT_EQ(hex(-1, 8), "FFFFFFFF");
  EXPECT_EQ(hex(-1, 2), "FF");
  EXPECT_EQ(hex(-128, 2), "80");
  EXPECT_EQ(hex(-32769, 8), "FFFF7FFF");
  EXPECT_EQ(hex(255, 4), "FF");
  EXPECT_EQ(hex(0x1000, 2), "1000");
  EXPECT_EQ(hex(INT64_MIN, 16), "8000000000000000");
  // A negative value too wide for its width: 4, 8 or 16 digits.
  EXPECT_EQ(hex(-32769, 4), "FFFF7FFF");
  EXPECT_EQ(hex(-0x7FFF, 2), "8001");
  EXPECT_EQ(hex(-0x8001, 2), "FFFF7FFF");
  EXPECT_EQ(hex(-0x800000001LL, 8), "FFFFFFF7FFFFFFFF");
  EXPECT_EQ(hex(-1, 0), "F");  // a width below 1 counts as 1
}

TEST_F(hex_oct, HexAndOctAgreeWithTheLibraryAtFullWidth) {
  std::mt19937_64 rng(3);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t mark = kxs_tmp_list_nexti;
    const auto v = static_cast<int64_t>(rng() >> (rng() % 64));
    for (int64_t x : {v, -v}) {
      if (x == 0) continue;
      char expected[32];
      std::snprintf(expected, sizeof expected, "%" PRIX64, static_cast<uint64_t>(x));
      ASSERT_EQ(hex(x, 16), expected);
      std::snprintf(expected, sizeof expected, "%" PRIo64, static_cast<uint64_t>(x));
      ASSERT_EQ(oct(x, 64), expected);
    }
    kxs_cleanup(mark, 0);
  }
}

TEST_F(hex_oct, OctByTypeWidth) {
  EXPECT_EQ(oct(8, 16), "10");
  EXPECT_EQ(oct(0, 16), "0");
  EXPECT_EQ(oct(-1, 16), "177777");
  EXPECT_EQ(oct(-32768, 16), "100000");
  EXPECT_EQ(oct(-1, 32), "37777777777");
  EXPECT_EQ(oct(-1, 8), "377");
  EXPECT_EQ(oct(-1, 64), "1777777777777777777777");
  // Too wide for its width: 16, 32 or 64 bits.
  EXPECT_EQ(oct(-200, 8), "177470");
  EXPECT_EQ(oct(-40000, 16), "37777661700");
  EXPECT_EQ(oct(-0x100000000LL, 32), "1777777777740000000000");
}

TEST_F(hex_oct, FloatingValuesRoundThenShowAsLong) {
  EXPECT_EQ(text_of(func_hex_float(-1.0L)), "FFFFFFFF");
  EXPECT_EQ(text_of(func_hex_float(2.5L)), "2");  // ties to even
  EXPECT_EQ(text_of(func_hex_float(3.5L)), "4");
  EXPECT_EQ(text_of(func_hex_float(-1e10L)), "FFFFFFFDABF41C00");
  EXPECT_EQ(text_of(func_oct_float(-1.0L)), "37777777777");
  EXPECT_EQ(text_of(func_oct_float(64.4L)), "100");
  EXPECT_EQ(new_error.load(), 0u);
  for (kx_float x : {9223372036854775808.0L, -9223372036854775808.0L, 1e30L,
                     std::numeric_limits<kx_float>::infinity(), std::numeric_limits<kx_float>::quiet_NaN()}) {
    EXPECT_EQ(func_hex_float(x)->length, 0);
    EXPECT_EQ(take_error(), 6u);
    EXPECT_EQ(func_oct_float(x)->length, 0);
    EXPECT_EQ(take_error(), 6u);
  }
  EXPECT_EQ(text_of(func_hex_float(9223372036854775807.0L)), "7FFFFFFFFFFFFFFF");
}
