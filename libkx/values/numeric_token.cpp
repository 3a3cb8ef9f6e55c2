#include "values/numeric_token.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

char n_digit[n_digits_max + 1];
uint16_t n_digits;
int64_t n_exp;
uint8_t n_neg;
uint8_t n_hex;

kx_float n_float_value;
int64_t n_int64_value;
uint64_t n_uint64_value;

namespace {

constexpr uint8_t exponent_digits_max = 18;
// Digits a double keeps when a token is rebuilt as text: more cannot change
// the nearest double by the rebuild's rule.
constexpr uint16_t float_digits = 17;
constexpr int64_t float_exp_limit = 308;
constexpr int64_t float_exp_underflow = -324;
constexpr std::string_view largest_double_digits = "17976931348623157";
constexpr std::string_view int64_limit_digits = "9223372036854775807";
constexpr std::string_view int64_negative_limit_digits = "9223372036854775808";
constexpr std::string_view uint64_limit_digits = "18446744073709551615";

constexpr double exact_powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int exact_power_max = 22;
constexpr uint16_t exact_double_digits = 15;

bool is_decimal_digit(uint8_t c) { return c >= '0' && c <= '9'; }
bool is_exponent_letter(uint8_t c) { return c == 'D' || c == 'E' || c == 'd' || c == 'e'; }

// Whether the token's first digits (missing ones read as 0) exceed limit.
bool leading_digits_exceed(std::string_view limit) {
  for (size_t i = 0; i < limit.size(); ++i) {
    const char d = i < n_digits ? n_digit[i] : '0';
    if (d != limit[i]) return d > limit[i];
  }
  return false;
}

// The whole part of a decimal token whose units place is at most 19 digits
// from its first digit.
uint64_t whole_part() {
  uint64_t v = 0;
  for (int64_t i = 0; i <= n_exp; ++i) {
    v = v * 10 + static_cast<uint64_t>(i < n_digits ? n_digit[i] - '0' : 0);
  }
  return v;
}

}  // namespace

namespace kx {

int32_t radix_digit_value(uint8_t c, uint8_t radix) {
  int32_t v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  const int32_t base = radix == n_radix_hex ? 16 : radix == n_radix_octal ? 8 : 2;
  return v < base ? v : -1;
}

bool radix_digits_value(const char* digits, uint32_t count, uint8_t radix, uint64_t* value) {
  const int shift = radix == n_radix_hex ? 4 : radix == n_radix_octal ? 3 : 1;
  const uint32_t most = radix == n_radix_hex ? 16 : radix == n_radix_octal ? 22 : 64;
  if (count > most) return false;
  if (radix == n_radix_octal && count == most && digits[0] > '1') return false;
  uint64_t v = 0;
  for (uint32_t i = 0; i < count; ++i) {
    v = v << shift | static_cast<uint64_t>(radix_digit_value(static_cast<uint8_t>(digits[i]), radix));
  }
  *value = v;
  return true;
}

numeric_token_reader::numeric_token_reader() {
  n_digits = 0;
  n_exp = 0;
  n_neg = 0;
  n_hex = n_radix_decimal;
}

token_step numeric_token_reader::digit(uint8_t c) {
  const bool in_fraction = stage_ == stage::fraction;
  if (!significant_ && c == '0') {
    // Zeros before the first significant digit only move it in a fraction.
    if (in_fraction) --n_exp;
    return token_step::taken;
  }
  if (n_digits == n_digits_max) return token_step::too_many_digits;
  n_digit[n_digits++] = static_cast<char>(c);
  if (!in_fraction) {
    if (significant_) ++n_exp;
    else n_exp = 0;
  }
  significant_ = true;
  return token_step::taken;
}

token_step numeric_token_reader::radix_digit(uint8_t c) {
  if (radix_digit_value(c, n_hex) < 0) return token_step::ended;
  if (!significant_ && c == '0') return token_step::taken;
  if (n_digits == n_digits_max) return token_step::too_many_digits;
  n_digit[n_digits++] = static_cast<char>(c);
  significant_ = true;
  return token_step::taken;
}

token_step numeric_token_reader::exponent_digit(uint8_t c) {
  stage_ = stage::exponent;
  if (written_exponent_ == 0 && c == '0') return token_step::taken;
  if (exponent_digits_ == exponent_digits_max) return token_step::too_many_digits;
  ++exponent_digits_;
  written_exponent_ = written_exponent_ * 10 + (c - '0');
  return token_step::taken;
}

token_step numeric_token_reader::feed(uint8_t c) {
  switch (stage_) {
    case stage::start:
      if (c == '&') {
        stage_ = stage::ampersand;
        return token_step::taken;
      }
      if (c == '+' || c == '-') {
        n_neg = c == '-';
        stage_ = stage::integer;
        return token_step::taken;
      }
      [[fallthrough]];
    case stage::integer:
      if (is_decimal_digit(c)) {
        stage_ = stage::integer;
        return digit(c);
      }
      if (c == '.') {
        // A point before any significant digit: the first one found later
        // stands at least one place below the units.
        if (!significant_) n_exp = -1;
        stage_ = stage::fraction;
        return token_step::taken;
      }
      [[fallthrough]];
    case stage::fraction:
      if (stage_ == stage::fraction && is_decimal_digit(c)) return digit(c);
      if (is_exponent_letter(c)) {
        stage_ = stage::exponent_letter;
        return token_step::taken;
      }
      return token_step::ended;
    case stage::ampersand:
      if (c == 'H' || c == 'h') n_hex = n_radix_hex;
      else if (c == 'O' || c == 'o') n_hex = n_radix_octal;
      else if (c == 'B' || c == 'b') n_hex = n_radix_binary;
      else return token_step::ended;
      stage_ = stage::radix;
      return token_step::taken;
    case stage::radix:
      return radix_digit(c);
    case stage::exponent_letter:
      if (c == '+' || c == '-') {
        exponent_negative_ = c == '-';
        stage_ = stage::exponent;
        return token_step::taken;
      }
      [[fallthrough]];
    case stage::exponent:
      if (is_decimal_digit(c)) return exponent_digit(c);
      return token_step::ended;
  }
  return token_step::ended;
}

void numeric_token_reader::finish() {
  if (n_digits == 0) {
    n_exp = 0;
    n_neg = 0;
    return;
  }
  if (n_hex == n_radix_decimal) n_exp += exponent_negative_ ? -written_exponent_ : written_exponent_;
}

}  // namespace kx

int32_t n_roundincrement() {
  if (n_digits == 0 || n_exp < -1) return 0;
  const int64_t next = n_exp + 1;
  return next < n_digits && n_digit[next] >= '5' ? 1 : 0;
}

int32_t n_float() {
  n_float_value = 0;
  if (n_digits == 0) return 1;
  if (n_hex != n_radix_decimal) {
    uint64_t bits = 0;
    if (!kx::radix_digits_value(n_digit, n_digits, n_hex, &bits)) return 0;
    n_float_value = static_cast<kx_float>(bits);
    return 1;
  }
  if (n_exp > float_exp_limit) return 0;
  if (n_exp == float_exp_limit && leading_digits_exceed(largest_double_digits)) return 0;
  if (n_exp < float_exp_underflow) return 1;
  double value;
  const int64_t scale = n_exp - (n_digits - 1);
  if (n_digits <= exact_double_digits && scale >= -exact_power_max && scale <= exact_power_max) {
    // An integer of at most 15 digits and a power of ten are both exact in
    // a double, so one multiplication or division rounds correctly.
    int64_t whole = 0;
    for (uint16_t i = 0; i < n_digits; ++i) whole = whole * 10 + (n_digit[i] - '0');
    value = scale >= 0 ? static_cast<double>(whole) * exact_powers[scale]
                       : static_cast<double>(whole) / exact_powers[-scale];
  } else {
    char text[float_digits + 32];
    char* p = text;
    *p++ = n_digit[0];
    *p++ = '.';
    if (n_digits == 1) *p++ = '0';
    for (uint16_t i = 1; i < n_digits && i < float_digits; ++i) *p++ = n_digit[i];
    *p++ = 'E';
    p += std::snprintf(p, 24, "%lld", static_cast<long long>(n_exp));
    value = std::strtod(text, nullptr);
  }
  n_float_value = n_neg ? -value : value;
  return 1;
}

int32_t n_int64() {
  n_int64_value = 0;
  if (n_digits == 0) return 1;
  if (n_hex != n_radix_decimal) {
    uint64_t bits = 0;
    if (!kx::radix_digits_value(n_digit, n_digits, n_hex, &bits)) return 0;
    n_int64_value = static_cast<int64_t>(bits);
    return 1;
  }
  constexpr int64_t units_limit = 18;
  if (n_exp > units_limit) return 0;
  const std::string_view limit = n_neg ? int64_negative_limit_digits : int64_limit_digits;
  if (n_exp == units_limit && leading_digits_exceed(limit)) return 0;
  uint64_t magnitude = n_exp >= 0 ? whole_part() : 0;
  magnitude += static_cast<uint64_t>(n_roundincrement());
  const uint64_t most = n_neg ? uint64_t{1} << 63 : uint64_t{INT64_MAX};
  if (magnitude > most) return 0;
  n_int64_value = n_neg ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return 1;
}

int32_t n_uint64() {
  n_uint64_value = 0;
  if (n_digits == 0) return 1;
  if (n_hex != n_radix_decimal) return kx::radix_digits_value(n_digit, n_digits, n_hex, &n_uint64_value) ? 1 : 0;
  // A negative number fits only when it rounds to 0.
  if (n_neg) return n_exp < 0 && !n_roundincrement() ? 1 : 0;
  constexpr int64_t units_limit = 19;
  if (n_exp > units_limit) return 0;
  if (n_exp == units_limit && leading_digits_exceed(uint64_limit_digits)) return 0;
  const uint64_t whole = n_exp >= 0 ? whole_part() : 0;
  if (n_roundincrement()) {
    if (whole == UINT64_MAX) return 0;
    n_uint64_value = whole + 1;
  } else {
    n_uint64_value = whole;
  }
  return 1;
}

bool kx::token_as_int64(int64_t* value) {
  if (!n_int64()) return false;
  *value = n_int64_value;
  return true;
}

bool kx::token_as_uint64(uint64_t* value) {
  if (!n_uint64()) return false;
  *value = n_uint64_value;
  return true;
}
