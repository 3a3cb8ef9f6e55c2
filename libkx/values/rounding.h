#pragma once
// The one rounding rule of the system: to nearest, ties to even. Every
// conversion of a floating value to an integer goes through these helpers.
#include <cmath>
#include <cstdint>

// _FLOAT is the dialect's extended type.
using kx_float = long double;

// Rounds to a signed 64-bit value; values above INT64_MAX up to 2^64 - 1
// give their unsigned 64-bit pattern. Out-of-range values give INT64_MIN.
inline int64_t kxr(kx_float x) {
  constexpr kx_float int64_limit = 9223372036854775807.0L;
  if (x > int64_limit) {
    const kx_float low = x - 9223372036854775808.0L;  // x - 2^63
    return static_cast<int64_t>(static_cast<uint64_t>(std::llrintl(low)) | (uint64_t{1} << 63));
  }
  return std::llrintl(x);
}

// Rounds to a 64-bit pattern, for 0 <= x < 2^63.
inline uint64_t kxr_longdouble_to_uint64(kx_float x) {
  return static_cast<uint64_t>(std::llrintl(x));
}

// Round to a signed 32-bit value; out of range gives INT32_MIN, as the
// processor's conversion does.
inline int32_t kxr_double_to_long(double x) {
  if (!(x >= -2147483648.5 && x < 2147483647.5)) return INT32_MIN;
  return static_cast<int32_t>(std::lrint(x));
}
inline int32_t kxr_float_to_long(float x) { return kxr_double_to_long(static_cast<double>(x)); }
