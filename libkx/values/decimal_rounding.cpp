#include "values/decimal_rounding.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

using u128 = unsigned __int128;

constexpr std::array<u128, 39> powers_of_ten = [] {
  std::array<u128, 39> p{};
  p[0] = 1;
  for (size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

// floor(log2(x)) of a non-zero 128-bit value.
int bit_floor_log2(u128 x) {
  const auto high = static_cast<uint64_t>(x >> 64);
  return high ? 127 - std::countl_zero(high) : 63 - std::countl_zero(static_cast<uint64_t>(x));
}

// The quotient of m * 2^e * 10^p, and whether the part dropped is above,
// at or below one half (1, 0, -1), as far as 128 bits reach; false beyond.
bool scaled(uint64_t m, int e, int p, u128* quotient, int* half) {
  if (p >= 0) {
    if (p >= static_cast<int>(powers_of_ten.size())) return false;
    const u128 ten = powers_of_ten[static_cast<size_t>(p)];
    // m * 10^p must stay below 2^127; the overflow test multiplies, where a
    // bound computed by dividing would cost a 128-bit division per number.
    u128 product;
    if (__builtin_mul_overflow(u128{m}, ten, &product) || product >> 127) return false;
    if (e >= 0) {
      if (bit_floor_log2(product) + e >= 127) return false;
      *quotient = product << e;
      *half = -1;
      return true;
    }
    const int k = -e;
    if (k >= 127) return false;
    *quotient = product >> k;
    const u128 rest = product & ((u128{1} << k) - 1);
    const u128 one_half = u128{1} << (k - 1);
    *half = rest > one_half ? 1 : (rest == one_half ? 0 : -1);
    return true;
  }
  const int q = -p;
  if (e < 0 || q >= static_cast<int>(powers_of_ten.size())) return false;
  if (63 - std::countl_zero(m) + e >= 127) return false;
  const u128 value = u128{m} << e;
  const u128 ten = powers_of_ten[static_cast<size_t>(q)];
  u128 rest;
  if (value >> 64 == 0 && ten >> 64 == 0) {  // the common case: 64-bit division
    const auto v = static_cast<uint64_t>(value);
    const auto t = static_cast<uint64_t>(ten);
    *quotient = v / t;
    rest = v % t;
  } else {
    *quotient = value / ten;
    rest = value % ten;
  }
  *half = rest * 2 > ten ? 1 : (rest * 2 == ten ? 0 : -1);
  return true;
}

}  // namespace

bool kx::round_to_digits(double v, int count, uint64_t* digits, int* exponent) {
  const auto bits = std::bit_cast<uint64_t>(v);
  const int biased = static_cast<int>(bits >> 52 & 0x7FF);
  uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0x7FF) return false;
  if (biased == 0 && m == 0) {
    *digits = 0;
    *exponent = 0;
    return true;
  }
  int e = biased ? biased - 1075 : -1074;
  if (biased) m |= uint64_t{1} << 52;
  const int zeros = std::countr_zero(m);  // smaller numbers reach further
  m >>= zeros;
  e += zeros;
  // The decimal exponent from the binary one: floor(log10(2) * b) is the
  // exponent of the first digit or one below it.
  const int binary = 63 - std::countl_zero(m) + e;
  int d = (binary * 78913) >> 18;
  const u128 limit = powers_of_ten[static_cast<size_t>(count)];
  u128 quotient;
  int half;
  if (!scaled(m, e, count - 1 - d, &quotient, &half)) return false;
  if (quotient >= limit) {  // one digit too many: the first digit is one place higher
    ++d;
    if (!scaled(m, e, count - 1 - d, &quotient, &half)) return false;
  }
  if (half > 0 || (half == 0 && (quotient & 1))) ++quotient;
  if (quotient == limit) {
    quotient = powers_of_ten[static_cast<size_t>(count - 1)];
    ++d;
  }
  *digits = static_cast<uint64_t>(quotient);
  *exponent = d;
  return true;
}
