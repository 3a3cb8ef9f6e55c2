#include "values/mbf.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/error.h"
#include "values/string_results.h"

namespace {

constexpr uint32_t single_mantissa_mask = 0x7FFFFF;
constexpr uint32_t single_hidden_bit = 0x800000;
constexpr uint32_t single_too_large = 254;  // IEEE exponent that MBF cannot hold
constexpr uint32_t single_exponent_shift = 2;  // MBF exponent - IEEE exponent
// The smallest MBF single, 2^-128, as an IEEE subnormal's mantissa field.
constexpr uint32_t smallest_mbf_subnormal = 1u << 21;

constexpr uint64_t double_mantissa_mask = (uint64_t{1} << 52) - 1;
constexpr uint64_t mbf_double_mantissa_mask = (uint64_t{1} << 55) - 1;
constexpr uint32_t double_exponent_shift = 894;  // IEEE exponent - MBF exponent
constexpr uint32_t double_lowest_fit = double_exponent_shift + 1;
constexpr uint32_t double_highest_fit = double_exponent_shift + 255;
constexpr uint32_t dropped_bits = 3;  // MBF double mantissa bits beyond IEEE

template <class T>
kxs* bytes_result(T pattern) {
  kxs* r = kxs_new(sizeof pattern, 1);
  std::memcpy(r->chars, &pattern, sizeof pattern);
  return r;
}

uint32_t mbf_single(uint32_t sign, uint32_t exponent, uint32_t mantissa) {
  return exponent << 24 | sign << 23 | mantissa;
}

template <class T>
bool read_pattern(const kxs* s, T* pattern) {
  if (new_error) return false;
  if (s->length < static_cast<int32_t>(sizeof *pattern)) {
    error(err::illegal_function_call);
    return false;
  }
  std::memcpy(pattern, s->chars, sizeof *pattern);
  return true;
}

}  // namespace

kxs* func_mksmbf(float x) {
  if (new_error) return kx::empty_result();
  const auto bits = std::bit_cast<uint32_t>(x);
  const uint32_t sign = bits >> 31;
  const uint32_t exponent = (bits >> 23) & 0xFF;
  const uint32_t mantissa = bits & single_mantissa_mask;
  if (exponent >= single_too_large) {
    error(err::illegal_function_call);
    return kx::empty_result();
  }
  if (exponent != 0) return bytes_result(mbf_single(sign, exponent + single_exponent_shift, mantissa));
  // Subnormal singles from 2^-128 up have an MBF form with exponent 1 or 2;
  // normalising shifts the mantissa left and loses no bit.
  if (mantissa < smallest_mbf_subnormal) return bytes_result(uint32_t{0});
  const int top = std::bit_width(mantissa) - 1;  // 21 or 22
  const uint32_t normal = (mantissa << (23 - top)) & single_mantissa_mask;
  return bytes_result(mbf_single(sign, static_cast<uint32_t>(top - 20), normal));
}

float func_cvsmbf(kxs* s) {
  uint32_t pattern = 0;
  if (!read_pattern(s, &pattern)) return 0;
  const uint32_t exponent = pattern >> 24;
  if (exponent == 0) return 0;
  const uint32_t sign = (pattern >> 23) & 1;
  const uint32_t mantissa = pattern & single_mantissa_mask;
  if (exponent > single_exponent_shift)
    return std::bit_cast<float>(sign << 31 | (exponent - single_exponent_shift) << 23 | mantissa);
  // Below the normal singles: exact as a double, then rounded once to the
  // nearest subnormal single.
  const double magnitude = std::ldexp(static_cast<double>(single_hidden_bit | mantissa), static_cast<int>(exponent) - 129 - 23);
  const auto value = static_cast<float>(magnitude);
  return sign ? -value : value;
}

kxs* func_mkdmbf(double x) {
  if (new_error) return kx::empty_result();
  const auto bits = std::bit_cast<uint64_t>(x);
  const uint64_t sign = bits >> 63;
  const auto exponent = static_cast<uint32_t>((bits >> 52) & 0x7FF);
  if (exponent < double_lowest_fit) return bytes_result(uint64_t{0});
  if (exponent > double_highest_fit) {
    error(err::illegal_function_call);
    return kx::empty_result();
  }
  const uint64_t mantissa = (bits & double_mantissa_mask) << dropped_bits;
  return bytes_result(uint64_t{exponent - double_exponent_shift} << 56 | sign << 55 | mantissa);
}

double func_cvdmbf(kxs* s) {
  uint64_t pattern = 0;
  if (!read_pattern(s, &pattern)) return 0;
  const auto exponent = static_cast<uint32_t>(pattern >> 56);
  if (exponent == 0) return 0;
  const uint64_t sign = (pattern >> 55) & 1;
  const uint64_t mantissa = pattern & mbf_double_mantissa_mask;
  uint64_t kept = mantissa >> dropped_bits;
  const uint64_t rest = mantissa & ((1u << dropped_bits) - 1);
  constexpr uint64_t half = uint64_t{1} << (dropped_bits - 1);
  if (rest > half || (rest == half && (kept & 1))) ++kept;
  // A carry out of the mantissa moves to the next binade; every MBF
  // exponent plus one still fits a double.
  uint64_t ieee_exponent = uint64_t{exponent} + double_exponent_shift;
  if (kept > double_mantissa_mask) {
    kept = 0;
    ++ieee_exponent;
  }
  return std::bit_cast<double>(sign << 63 | ieee_exponent << 52 | kept);
}
