#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "string_kinds.h"
#include "values/number_to_text.h"

using number_to_text = fresh_memory;

namespace {

// STR$ of a floating value the long way: the C library's scientific text,
// its significant digits counted, and the C library's fixed-point text
// with the decimals that count asks for.
std::string reference_str(double x, int digits, int largest_plain, int deepest_plain, char letter) {
  char scratch[64];
  std::snprintf(scratch, sizeof scratch, "% .*E", digits - 1, x);
  if (!(scratch[1] >= '0' && scratch[1] <= '9')) return scratch;
  std::string s = scratch;
  if (digits == 16 && s[17] == '9') {
    std::snprintf(scratch, sizeof scratch, "% .14E", x);
    s = std::string(scratch).substr(0, 17) + "0" + std::string(scratch).substr(17);
  }
  const size_t e_at = s.find('E');
  int count = digits;
  for (size_t i = e_at - 1; i >= 1; --i) {
    if (s[i] == '.') continue;
    if (s[i] != '0') break;
    --count;
  }
  if (count == 0) return " 0";
  const int e = std::atoi(s.c_str() + e_at + 1);
  if (e <= largest_plain && e - count >= deepest_plain) {
    std::snprintf(scratch, sizeof scratch, "% .*f", std::max(0, count - e - 1), x);
    std::string p = scratch;
    if (p[1] == '0') p.erase(1, 1);
    return p;
  }
  std::string r = s.substr(0, 2);
  if (count > 1) r += "." + s.substr(3, static_cast<size_t>(count - 1));
  r += letter;
  r += s[e_at + 1];
  const int magnitude = std::abs(e);
  r += (magnitude >= 100 ? std::to_string(magnitude) : (magnitude < 10 ? "0" : "") + std::to_string(magnitude));
  return r;
}

std::string str(float v) { return text_of(kxs_str(v)); }
std::string str(double v) { return text_of(kxs_str(v)); }

}  // namespace

TEST_F(number_to_text, IntegersOfEveryWidth) {
  EXPECT_EQ(text_of(kxs_str(int64_t{0})), " 0");
  EXPECT_EQ(text_of(kxs_str(INT64_MIN)), "-9223372036854775808");
  EXPECT_EQ(text_of(kxs_str(INT64_MAX)), " 9223372036854775807");
  EXPECT_EQ(text_of(kxs_str(INT32_MIN)), "-2147483648");
  EXPECT_EQ(text_of(kxs_str(int8_t{-128})), "-128");
  EXPECT_EQ(text_of(kxs_str(UINT64_MAX)), " 18446744073709551615");
  EXPECT_EQ(text_of(kxs_str(uint8_t{0})), " 0");
}

TEST_F(number_to_text, SingleDigitCountsAndNotationSwitch) {
  EXPECT_EQ(str(123.456f), " 123.456");
  EXPECT_EQ(str(0.001f), " .001");
  EXPECT_EQ(str(-0.001f), "-.001");
  EXPECT_EQ(str(0.1f), " .1");
  EXPECT_EQ(str(1e-8f), " 1E-08");
  EXPECT_EQ(str(1e-7f), " .0000001");
  EXPECT_EQ(str(1.5e-7f), " 1.5E-07");
  EXPECT_EQ(str(10000000.0f), " 1E+07");
  EXPECT_EQ(str(1000000.0f), " 1000000");
  EXPECT_EQ(str(1234567.0f), " 1234567");
  EXPECT_EQ(str(12345678.0f), " 1.234568E+07");
  EXPECT_EQ(str(1e38f), " 1E+38");
  EXPECT_EQ(str(-0.0f), " 0");
  EXPECT_EQ(str(std::numeric_limits<float>::denorm_min()), " 1.401298E-45");
  EXPECT_EQ(str(1.0f / 3.0f), " .3333333");
}

TEST_F(number_to_text, DoubleDigitCountsAndNotationSwitch) {
  EXPECT_EQ(str(1.0 / 3.0), " .3333333333333333");
  EXPECT_EQ(str(1e20), " 1D+20");
  EXPECT_EQ(str(0.1 + 0.2), " .3");
  EXPECT_EQ(str(0.9999999999999999), " 1");
  EXPECT_EQ(str(0.1 + 0.7), " .8");  // 0.7999999999999999: a sixteenth 9
  EXPECT_EQ(str(1e300), " 1D+300");
  EXPECT_EQ(str(-1e-300), "-1D-300");
  EXPECT_EQ(str(1e15), " 1000000000000000");
  EXPECT_EQ(str(1e16), " 1D+16");
  EXPECT_EQ(str(1e-16), " .0000000000000001");
  EXPECT_EQ(str(1e-17), " 1D-17");
  EXPECT_EQ(str(-0.0), " 0");
  EXPECT_EQ(str(std::numeric_limits<double>::max()), " 1.797693134862316D+308");
  EXPECT_EQ(str(std::numeric_limits<double>::denorm_min()), " 4.940656458412465D-324");
}

TEST_F(number_to_text, FloatIsShownAsTheNearestDouble) {
  EXPECT_EQ(text_of(kxs_str(1.0L / 3.0L)), " .3333333333333333");
  EXPECT_EQ(text_of(kxs_str(-2.5L)), "-2.5");
  EXPECT_EQ(text_of(kxs_str(1e4000L)), " INF");  // beyond every double
}

TEST_F(number_to_text, InfinitiesAndNanUseTheLibrarySpelling) {
  EXPECT_EQ(str(std::numeric_limits<double>::infinity()), " INF");
  EXPECT_EQ(str(-std::numeric_limits<float>::infinity()), "-INF");
  EXPECT_EQ(str(std::numeric_limits<double>::quiet_NaN()), " NAN");
}

TEST_F(number_to_text, LayoutMatchesTheLongWayOnRandomValues) {
  std::mt19937_64 rng(11);
  for (int i = 0; i < 200000; ++i) {
    const uint32_t mark = kxs_tmp_list_nexti;
    // Random bit patterns cover every exponent; scaled integers and short
    // decimals land on the switch-over points and on exact ties.
    double d;
    switch (i % 3) {
      case 0:
        d = std::bit_cast<double>(rng());
        break;
      case 1:
        d = static_cast<double>(rng() % 100000000) * std::pow(10.0, static_cast<int>(rng() % 40) - 25);
        break;
      default:
        d = static_cast<double>(static_cast<int64_t>(rng() % 20000) - 10000) / 1000.0;
    }
    if (!std::isfinite(d)) continue;
    ASSERT_EQ(str(d), reference_str(d, 16, 15, -17, 'D')) << std::hexfloat << d;
    const auto f = static_cast<float>(d);
    if (std::isfinite(f)) {
      ASSERT_EQ(str(f), reference_str(f, 7, 6, -8, 'E')) << std::hexfloat << f;
    }
    kxs_cleanup(mark, 0);
  }
}
