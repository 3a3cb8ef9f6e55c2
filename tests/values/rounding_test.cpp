#include "values/rounding.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(Rounding, TiesGoToEvenInEveryHelper) {
  struct tie {
    double x;
    int64_t rounded;
  };
  const tie ties[] = {{0.5, 0}, {-0.5, 0}, {1.5, 2}, {-1.5, -2}, {2.5, 2}, {-2.5, -2},
                      {3.5, 4}, {-3.5, -4}, {0.49999999999999994, 0}, {2.5000000000000004, 3}};
  for (const auto& t : ties) {
    EXPECT_EQ(kxr(t.x), t.rounded) << t.x;
    EXPECT_EQ(kxr_double_to_long(t.x), t.rounded) << t.x;
    EXPECT_EQ(kxr_float_to_long(static_cast<float>(t.x)), kxr(static_cast<float>(t.x))) << t.x;
    if (t.x >= 0) {
      EXPECT_EQ(kxr_longdouble_to_uint64(t.x), static_cast<uint64_t>(t.rounded)) << t.x;
    }
  }
  EXPECT_EQ(kxr_float_to_long(2.5f), 2);
  EXPECT_EQ(kxr_float_to_long(-1.5f), -2);
  EXPECT_EQ(kxr(-0.0L), 0);
}

TEST(Rounding, LargeValuesKeepTheirPattern) {
  EXPECT_EQ(static_cast<uint64_t>(kxr(18446744073709551615.0L)), UINT64_MAX);
  EXPECT_EQ(kxr(9223372036854775807.0L), INT64_MAX);
  EXPECT_EQ(static_cast<uint64_t>(kxr(9223372036854775808.0L)), uint64_t{1} << 63);
  EXPECT_EQ(static_cast<uint64_t>(kxr(12345678901234567890.0L)), 12345678901234567890ull);
  EXPECT_EQ(kxr(-9223372036854775808.0L), INT64_MIN);
  EXPECT_EQ(kxr(4503599627370497.5L), 4503599627370498);  // exact in the extended type
  EXPECT_EQ(kxr_longdouble_to_uint64(9007199254740993.0L), 9007199254740993ull);
}

TEST(Rounding, ThirtyTwoBitEdges) {
  EXPECT_EQ(kxr_double_to_long(2147483647.0), INT32_MAX);
  EXPECT_EQ(kxr_double_to_long(2147483647.4), INT32_MAX);
  EXPECT_EQ(kxr_double_to_long(-2147483648.0), INT32_MIN);
  EXPECT_EQ(kxr_double_to_long(-2147483648.5), INT32_MIN);  // the tie goes to the even end
  EXPECT_EQ(kxr_double_to_long(2147483646.5), 2147483646);
  // Outside the range the processor's answer: the most negative value.
  EXPECT_EQ(kxr_double_to_long(2147483647.5), INT32_MIN);
  EXPECT_EQ(kxr_double_to_long(1e20), INT32_MIN);
  EXPECT_EQ(kxr_double_to_long(-1e20), INT32_MIN);
  EXPECT_EQ(kxr_float_to_long(3e9f), INT32_MIN);
}

}  // namespace
