#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "printf_number_text.h"
#include "values/number_to_text.h"

// The fast conversion must give, for every value, exactly the bytes of the
// printf-based one it replaced.
namespace {

constexpr int random_patterns = 10'000'000;

std::string fast(float v) {
  char out[32];
  return {out, static_cast<size_t>(kx::single_text(v, out))};
}
std::string fast(double v) {
  char out[32];
  return {out, static_cast<size_t>(kx::double_text(v, out))};
}
std::string reference(float v) {
  char out[32];
  return {out, static_cast<size_t>(printf_number_text::single_text(v, out))};
}
std::string reference(double v) {
  char out[32];
  return {out, static_cast<size_t>(printf_number_text::double_text(v, out))};
}

template <class T>
void expect_same(T v) {
  ASSERT_EQ(fast(v), reference(v)) << std::hexfloat << v;
  ASSERT_EQ(fast(-v), reference(-v)) << std::hexfloat << -v;
}

// Values at the edges: zero, subnormals, the largest finite values,
// infinities and NaN, every power of ten and its two neighbours.
template <class T>
std::vector<T> edge_values() {
  using limits = std::numeric_limits<T>;
  std::vector<T> v{T(0),          limits::denorm_min(), limits::min(), limits::max(), limits::infinity(),
                   limits::quiet_NaN(), limits::epsilon(), T(1),       T(0.5)};
  v.push_back(std::nextafter(limits::min(), T(0)));  // the largest subnormal
  for (int e = limits::min_exponent10 - 8; e <= limits::max_exponent10; ++e) {
    const T p = static_cast<T>(std::pow(10.0L, e));
    v.insert(v.end(), {p, std::nextafter(p, T(0)), std::nextafter(p, limits::infinity())});
  }
  return v;
}

}  // namespace

TEST(number_text_exact, SingleMatchesOnEdgesAndRandomBitPatterns) {
  for (float v : edge_values<float>()) expect_same(v);
  std::mt19937 rng(20261209);
  for (int i = 0; i < random_patterns; ++i) {
    const float v = std::bit_cast<float>(static_cast<uint32_t>(rng()));
    ASSERT_EQ(fast(v), reference(v)) << std::hexfloat << v;
  }
}

TEST(number_text_exact, DoubleMatchesOnEdgesAndRandomBitPatterns) {
  for (double v : edge_values<double>()) expect_same(v);
  std::mt19937_64 rng(20261210);
  for (int i = 0; i < random_patterns; ++i) {
    const double v = std::bit_cast<double>(rng());
    ASSERT_EQ(fast(v), reference(v)) << std::hexfloat << v;
  }
}

TEST(number_text_exact, EverydaySizesAndLoopCounters) {
  // Random bits with the binary exponent kept to everyday sizes, where the
  // digits are computed in integers, reaching past that range on both
  // sides; then every counter a loop to two million shows, and its halves.
  std::mt19937_64 rng(20261211);
  for (int i = 0; i < random_patterns / 2; ++i) {
    const uint64_t r = rng();
    const uint64_t exponent = 1023 - 90 + (r >> 52) % 200;  // 2^-90 to 2^110
    const double d = std::bit_cast<double>((r & 0x800FFFFFFFFFFFFFULL) | exponent << 52);
    ASSERT_EQ(fast(d), reference(d)) << std::hexfloat << d;
    const auto f = static_cast<float>(d);
    ASSERT_EQ(fast(f), reference(f)) << std::hexfloat << f;
  }
  for (int i = 0; i <= 2'000'000; ++i) {
    for (const double d : {static_cast<double>(i), i + 0.5, i / 1000.0}) {
      ASSERT_EQ(fast(d), reference(d)) << d;
      ASSERT_EQ(fast(static_cast<float>(d)), reference(static_cast<float>(d))) << d;
    }
  }
}

TEST(number_text_exact, DoubleWhoseSixteenthDigitIsNine) {
  // Sixteen-digit decimals ending in 9 at every scale, including the
  // sixteen-integer-digit case that is written in fixed point, and sums
  // whose binary noise shows as a trailing 9.
  std::mt19937_64 rng(16);
  int nines = 0;
  for (int i = 0; i < 400000; ++i) {
    const uint64_t mantissa = 1'000'000'000'000'000ULL + rng() % 9'000'000'000'000'000ULL;
    const uint64_t ending_in_nine = mantissa - mantissa % 10 + 9;
    const int e = static_cast<int>(rng() % 60) - 40;
    const std::string text = std::to_string(ending_in_nine) + "e" + std::to_string(e);
    const double v = std::strtod(text.c_str(), nullptr);
    char scratch[40];
    std::snprintf(scratch, sizeof scratch, "% .15E", v);
    nines += scratch[17] == '9';
    expect_same(v);
  }
  EXPECT_GT(nines, 100000);  // the rule really was exercised
  for (double v : {0.1 + 0.7, 0.9999999999999999, 999999999999999.9, 1234567890123459.0, 9999999999999999.0,
                   99999999999999.99, 0.29999999999999999}) {
    expect_same(v);
  }
}
