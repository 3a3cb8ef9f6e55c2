#include "values/hex_oct.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "base/error.h"
#include "values/string_results.h"

namespace {

constexpr char digit_chars[] = "0123456789ABCDEF";
constexpr int32_t float_hex_width = 8;
constexpr int32_t float_oct_width = 32;

// Digits of the lowest bits of pattern, bits_per_digit at a time from the
// least significant end.
kxs* digits_of(uint64_t pattern, int digits, int bits_per_digit) {
  char text[64];
  const uint64_t mask = (uint64_t{1} << bits_per_digit) - 1;
  for (int i = digits - 1; i >= 0; --i) {
    text[i] = digit_chars[pattern & mask];
    pattern >>= bits_per_digit;
  }
  return kx::text_result(text, static_cast<size_t>(digits));
}

int hex_digits(int64_t value, int32_t width) {
  const auto pattern = static_cast<uint64_t>(value);
  if (value >= 0) return (std::bit_width(pattern) + 3) / 4;
  // The highest nibble that is not F, and one more when its top bit is
  // clear, since that nibble alone would read as positive.
  const int top = (std::bit_width(~pattern) + 3) / 4;
  int need = top;
  if (top > 0 && top < 16 && !((pattern >> ((top - 1) * 4)) & 0x8)) ++need;
  const int shown = std::clamp(width, 1, 16);
  if (need <= shown) return shown;
  return need <= 4 ? 4 : (need <= 8 ? 8 : 16);
}

int oct_bits(int64_t value, int32_t width) {
  const auto pattern = static_cast<uint64_t>(value);
  if (value >= 0) return std::bit_width(pattern);
  const int highest_zero = std::bit_width(~pattern);
  int bits = std::clamp(width, 1, 64);
  if (highest_zero >= bits) bits = highest_zero <= 15 ? 16 : (highest_zero < 32 ? 32 : 64);
  return bits;
}

// The integer a floating HEX$ or OCT$ shows, or error 6.
bool float_pattern(kx_float x, int64_t* value) {
  constexpr kx_float limit = 9223372036854775808.0L;  // 2^63
  if (!(x > -limit && x < limit)) {
    error(err::overflow);
    return false;
  }
  *value = kxr(x);
  return true;
}

}  // namespace

kxs* func_hex(int64_t value, int32_t width_digits) {
  if (new_error) return kx::empty_result();
  if (value == 0) return kx::text_result("0", 1);
  return digits_of(static_cast<uint64_t>(value), hex_digits(value, width_digits), 4);
}

kxs* func_oct(int64_t value, int32_t width_bits) {
  if (new_error) return kx::empty_result();
  const int bits = oct_bits(value, width_bits);
  if (bits == 0) return kx::text_result("0", 1);
  const auto pattern = bits == 64 ? static_cast<uint64_t>(value) : static_cast<uint64_t>(value) & ((uint64_t{1} << bits) - 1);
  return digits_of(pattern, (bits + 2) / 3, 3);
}

kxs* func_hex_float(kx_float x) {
  if (new_error) return kx::empty_result();
  int64_t value = 0;
  if (!float_pattern(x, &value)) return kx::empty_result();
  return func_hex(value, float_hex_width);
}

kxs* func_oct_float(kx_float x) {
  if (new_error) return kx::empty_result();
  int64_t value = 0;
  if (!float_pattern(x, &value)) return kx::empty_result();
  return func_oct(value, float_oct_width);
}
