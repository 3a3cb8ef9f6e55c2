#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string_view>
#include <vector>

#include "values/print_using_number.h"

// PRINT USING takes a SINGLE or DOUBLE apart into its exact decimal digits.
// The fast conversion must give, for every value, exactly what the C
// library's "% .255E" text gave, taken apart as the runtime first did it.
namespace {

constexpr int random_patterns = 10'000'000;

// The printf-based conversion that the fast one replaced, kept as the
// reference.
namespace reference {

constexpr int exact_decimals = 255;
constexpr size_t text_room = 1 + 1 + 1 + exact_decimals + 1 + 1 + 4 + 1;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

void store_digits(std::string_view digits, int64_t exponent, kx::decimal_number* out) {
  const size_t first = digits.find_first_not_of('0');
  out->digits.clear();
  out->exponent = 0;
  if (first == std::string_view::npos) return;
  const size_t last = digits.find_last_not_of('0');
  out->digits.assign(digits.substr(first, last + 1 - first));
  out->exponent = exponent + static_cast<int64_t>(digits.size() - 1 - last);
}

bool decimal_of(double v, char letter, kx::decimal_number* out) {
  char text[text_room];
  const int n = std::snprintf(text, sizeof text, "% .*E", exact_decimals, v);
  constexpr int letter_at = 3 + exact_decimals;
  if (n < letter_at + 3 || static_cast<size_t>(n) >= sizeof text || (text[0] != ' ' && text[0] != '-') ||
      !is_digit(text[1]) || text[2] != '.' || text[letter_at] != 'E')
    return false;
  text[2] = text[1];
  out->negative = text[0] == '-';
  out->exponent_letter = letter;
  store_digits(std::string_view(text + 2, exact_decimals + 1), std::atoi(text + letter_at + 1) - exact_decimals, out);
  return true;
}

}  // namespace reference

template <class T>
::testing::AssertionResult same_digits(T v) {
  kx::decimal_number fast, slow;
  const bool fast_ok = kx::decimal_of(v, &fast);
  const bool slow_ok = reference::decimal_of(static_cast<double>(v), sizeof(T) == 4 ? 'E' : 'D', &slow);
  if (fast_ok != slow_ok)
    return ::testing::AssertionFailure() << std::hexfloat << v << ": has digits " << fast_ok << " against " << slow_ok;
  if (fast_ok && (fast.negative != slow.negative || fast.digits != slow.digits || fast.exponent != slow.exponent ||
                  fast.exponent_letter != slow.exponent_letter))
    return ::testing::AssertionFailure() << std::hexfloat << v << ": " << (fast.negative ? "-" : "+") << fast.digits
                                         << "e" << fast.exponent << fast.exponent_letter << " against "
                                         << (slow.negative ? "-" : "+") << slow.digits << "e" << slow.exponent
                                         << slow.exponent_letter;
  return ::testing::AssertionSuccess();
}

// Zero, subnormals, the largest finite values, infinities and NaN, every
// power of ten and its two neighbours, each with both signs.
template <class T>
std::vector<T> edge_values() {
  using limits = std::numeric_limits<T>;
  std::vector<T> v{T(0),           limits::denorm_min(), limits::min(), limits::max(), limits::infinity(),
                   limits::quiet_NaN(), limits::epsilon(),   T(1),          T(0.5),        T(0.1)};
  v.push_back(std::nextafter(limits::min(), T(0)));  // the largest subnormal
  for (int e = limits::min_exponent10 - 8; e <= limits::max_exponent10; ++e) {
    const T p = static_cast<T>(std::pow(10.0L, e));
    v.insert(v.end(), {p, std::nextafter(p, T(0)), std::nextafter(p, limits::infinity())});
  }
  const size_t positive = v.size();
  for (size_t i = 0; i < positive; ++i) v.push_back(-v[i]);
  return v;
}

// How many significant digits the exact expansion of v has: its
// scientific form with more decimals than any double needs, trailing zeros
// dropped.
int significant_digits(double v) {
  char text[1200];
  const auto done = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 1100);
  const std::string_view mantissa(text, static_cast<size_t>(std::find(text, done.ptr, 'e') - text));
  return static_cast<int>(mantissa.find_last_not_of('0'));  // the point counts for the leading digit
}

}  // namespace

TEST(print_using_exact, SingleDigitsMatchOnEdgesAndRandomBitPatterns) {
  for (float v : edge_values<float>()) ASSERT_TRUE(same_digits(v));
  std::mt19937 rng(20261211);
  for (int i = 0; i < random_patterns; ++i) ASSERT_TRUE(same_digits(std::bit_cast<float>(static_cast<uint32_t>(rng()))));
}

TEST(print_using_exact, DoubleDigitsMatchOnEdgesAndRandomBitPatterns) {
  for (double v : edge_values<double>()) ASSERT_TRUE(same_digits(v));
  std::mt19937_64 rng(20261212);
  for (int i = 0; i < random_patterns; ++i) ASSERT_TRUE(same_digits(std::bit_cast<double>(rng())));
}

TEST(print_using_exact, DoubleDigitsMatchWhereTheyAreCutAndOnEverydaySizes) {
  // An odd m times 2^-k is m * 5^k / 10^k: its exact expansion ends in a 5
  // and, for k near 345, has about 257 significant digits, so that cutting
  // it to 256 is often an exact tie, rounded to even by both. The rest are
  // values of everyday size, where the expansion is short and nothing is
  // cut.
  std::mt19937_64 rng(20261213);
  int ties = 0;
  for (int k = 300; k <= 400; ++k) {
    for (int i = 0; i < 2000; ++i) {
      const uint64_t m = (rng() >> 11) | (uint64_t{1} << 52) | 1;
      const double v = std::ldexp(static_cast<double>(m), -k);
      ASSERT_TRUE(same_digits(v));
      if (significant_digits(v) == 257) ++ties;
    }
  }
  EXPECT_GT(ties, 1000);
  std::uniform_real_distribution<double> everyday(-1e7, 1e7);
  for (int i = 0; i < 1'000'000; ++i) {
    const double v = everyday(rng);
    ASSERT_TRUE(same_digits(v));
    ASSERT_TRUE(same_digits(static_cast<float>(v)));
  }
}
