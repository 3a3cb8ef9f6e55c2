// The checks INPUT applies to the typed text of a floating-point variable:
// the ranges of SINGLE and DOUBLE, and the _FLOAT scanned without them.
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "input/input_checks.h"
#include "values/type_codes.h"

namespace {

namespace tc = kx::type_code;
constexpr int32_t SINGLE = 32 | tc::is_floating, DOUBLE = 64 | tc::is_floating, FLOAT = 256 | tc::is_floating;

bool accepted(std::string_view text, int32_t type, kx_float* number = nullptr) {
  kx::input_value value;
  const bool ok = kx::check_input_floating(text, type, &value);
  if (number) *number = value.number;
  return ok;
}

TEST(InputChecks, AFloatIsScannedWithoutTheRangesOfTheOtherTypes) {
  // Seventeen digits with a fraction, and exponents past DOUBLE's range.
  for (std::string_view text : {"1.2345678901234567", "1E400", "-1E400", "1E-400", "0.00000000000000000000000001E-300",
                                "1E1234567", "2E308"}) {
    EXPECT_FALSE(accepted(text, DOUBLE)) << text;
    EXPECT_TRUE(accepted(text, FLOAT)) << text;
  }
  kx_float f = 0;
  ASSERT_TRUE(accepted("1.2345678901234567", FLOAT, &f));
  EXPECT_EQ(f, static_cast<kx_float>(1.2345678901234567));  // scanned as a double, then widened
  ASSERT_TRUE(accepted("1E400", FLOAT, &f));
  EXPECT_TRUE(std::isinf(f) && f > 0);
  ASSERT_TRUE(accepted("-1E400", FLOAT, &f));
  EXPECT_TRUE(std::isinf(f) && f < 0);
  ASSERT_TRUE(accepted("1E-400", FLOAT, &f));
  EXPECT_EQ(f, 0);
  // The grammar still holds: no leading zero, no letter straight after the
  // point, no exponent without a significant digit, nothing after it.
  for (std::string_view text : {"01", "1.E2", "0E1", "1E2x", "1E02", "--1"}) {
    EXPECT_FALSE(accepted(text, FLOAT)) << text;
  }
  EXPECT_TRUE(accepted("-2.5D-3", FLOAT, &f));
  EXPECT_EQ(f, static_cast<kx_float>(-2.5e-3));
  // SINGLE and DOUBLE keep their limits.
  EXPECT_FALSE(accepted("4E39", SINGLE));
  EXPECT_TRUE(accepted("3E38", SINGLE));
  EXPECT_TRUE(accepted("1.234567890123456", DOUBLE));
  EXPECT_TRUE(accepted("1E308", DOUBLE));
}

}  // namespace
