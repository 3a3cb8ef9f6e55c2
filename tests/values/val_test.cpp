// VAL and the radix literals of INPUT.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "string_kinds.h"
#include "values/val.h"

namespace {

using val = fresh_memory;

kx_float val_of(const std::string& text) { return func_val(temp_of(text)); }

}  // namespace

TEST_F(val, DecimalStagesBlanksSignsAndTrailingText) {
  EXPECT_EQ(val_of(""), 0);
  EXPECT_EQ(val_of("  -12.5E+1xyz"), -125);
  EXPECT_EQ(val_of("1,000"), 1);
  EXPECT_EQ(val_of(".5"), 0.5L);
  EXPECT_EQ(val_of("15E-3"), 15e-3L);
  EXPECT_EQ(val_of("0.05E-1"), 0.005L);
  EXPECT_EQ(val_of("1 2"), 12);
  EXPECT_EQ(val_of("\t- 1 2 . 5"), -12.5L);
  EXPECT_EQ(val_of("+7"), 7);
  EXPECT_EQ(val_of("1.2.3"), 1.2L);    // a second point ends the number
  EXPECT_EQ(val_of("1+2"), 1);         // a sign after digits ends it
  EXPECT_EQ(val_of("--1"), 0);
  EXPECT_EQ(val_of("2D3"), 2000);      // D is an exponent letter as E is
  EXPECT_EQ(val_of("2d-1"), 0.2L);
  EXPECT_EQ(val_of("2e"), 2);          // the letter without digits
  EXPECT_EQ(val_of("E5"), 0);          // no significant digit
  EXPECT_EQ(val_of("000.000"), 0);
  EXPECT_EQ(val_of("00012"), 12);
  EXPECT_EQ(val_of("abc"), 0);
  EXPECT_EQ(val_of("1e0005"), 100000);  // leading zeros of the exponent
  // At most 18 exponent digits: the 19th ends the number.
  EXPECT_EQ(val_of("1e0000000000000000000000001"), 10);
  EXPECT_EQ(val_of("1e-1234567890123456789"), 0);  // 18 digits taken: far below the range
  EXPECT_TRUE(std::isinf(val_of("1e99999")));
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(val, ExactIntegersAndTheExtendedType) {
  EXPECT_EQ(val_of("999999999999999999"), 999999999999999999.0L);
  EXPECT_EQ(val_of("-123456789012345678"), -123456789012345678.0L);
  EXPECT_EQ(val_of("12345678901234567890"), 12345678901234567890.0L);
  EXPECT_EQ(val_of("0.1"), 0.1L);
  EXPECT_EQ(val_of("3.141592653589793238"), 3.141592653589793238L);
  EXPECT_EQ(val_of("1.7976931348623157E308"), 1.7976931348623157E308L);
  EXPECT_EQ(val_of("4.9E-324"), 4.9E-324L);
  EXPECT_EQ(val_of("123.456E-30"), 123.456E-30L);
  // Each result agrees with the C library's reading of the digits alone.
  for (const char* text : {"0.000123456789012345678901", "98765.4321e17", "7.000000000000000000001",
                           "-2.5e-27", "1e27", "1e28", "123456789012345678901234567890"}) {
    const std::string plain(text);
    EXPECT_EQ(val_of(plain), std::strtold(text, nullptr)) << text;
  }
}

TEST_F(val, LongDigitRunsAreReadWhole) {
  // Far more digits than any fixed buffer would hold.
  EXPECT_EQ(val_of(std::string(300, '1')), std::strtold(std::string(300, '1').c_str(), nullptr));
  const std::string fraction = "0." + std::string(5000, '0') + "25" + std::string(400, '9');
  EXPECT_EQ(val_of(fraction), std::strtold(fraction.c_str(), nullptr));
  EXPECT_EQ(val_of("-" + std::string(4000, '9') + "e-4000"), -std::strtold(("9." + std::string(3999, '9') + "e-1").c_str(), nullptr));
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(val, RadixLiterals) {
  EXPECT_EQ(val_of("&H10"), 16);
  EXPECT_EQ(val_of("&h"), 0);
  EXPECT_EQ(val_of("-&H10"), 0);
  EXPECT_EQ(val_of("&HfF"), 255);
  EXPECT_EQ(val_of("&O777"), 511);
  EXPECT_EQ(val_of("&B1011xyz"), 11);
  EXPECT_EQ(val_of("&HFFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(val_of("&H7FFFFFFFFFFFFFFF"), 9223372036854775807.0L);
  EXPECT_EQ(val_of("&H0000000000000000001"), 1);  // leading zeros do not count
  EXPECT_EQ(val_of("&X1"), 0);
  EXPECT_EQ(val_of("&O1777777777777777777777"), -1);  // 22 octal digits, the first 1
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(val_of("&H10000000000000000"), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(val_of("&O2000000000000000000000"), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(val_of("&B1" + std::string(64, '0')), 0);
  EXPECT_EQ(take_error(), 6u);
}

TEST_F(val, Hexoct2uint64TakesWholeLiteralsOnly) {
  auto radix = [](const std::string& text) { return hexoct2uint64(temp_of(text)); };
  EXPECT_EQ(radix(""), 1);
  EXPECT_EQ(hexoct2uint64_value, 0u);
  EXPECT_EQ(radix("&"), 1);
  EXPECT_EQ(radix("&H"), 1);
  EXPECT_EQ(radix("&o"), 2);
  EXPECT_EQ(radix("&b"), 3);
  EXPECT_EQ(radix("&HFFFF"), 1);
  EXPECT_EQ(hexoct2uint64_value, 0xFFFFu);
  EXPECT_EQ(radix("&O17"), 2);
  EXPECT_EQ(hexoct2uint64_value, 15u);
  EXPECT_EQ(radix("&B101"), 3);
  EXPECT_EQ(hexoct2uint64_value, 5u);
  EXPECT_EQ(radix("&HFFFFFFFFFFFFFFFF"), 1);
  EXPECT_EQ(hexoct2uint64_value, UINT64_MAX);
  EXPECT_EQ(radix("12"), 0);
  EXPECT_EQ(radix("&H1G"), 0);
  EXPECT_EQ(radix("&H 1"), 0);
  EXPECT_EQ(radix("&O8"), 0);
  EXPECT_EQ(radix("&B2"), 0);
  EXPECT_EQ(radix("&Z"), 0);
  // Leading zeros count: 17 hexadecimal digits are too many.
  EXPECT_EQ(radix("&H0FFFFFFFFFFFFFFFF"), 0);
  EXPECT_EQ(radix("&O1777777777777777777777"), 2);
  EXPECT_EQ(radix("&O2777777777777777777777"), 0);
  EXPECT_EQ(radix("&B" + std::string(64, '1')), 3);
  EXPECT_EQ(radix("&B" + std::string(65, '1')), 0);
}
