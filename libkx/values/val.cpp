#include "values/val.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/error.h"
#include "values/numeric_token.h"
#include "values/string_descriptor.h"

uint64_t hexoct2uint64_value;

namespace {

enum class stage : uint8_t { start, integer, fraction, exponent_letter, exponent };

constexpr int exact_integer_digits = 18;
constexpr int exponent_digits_max = 18;
// 10^27 still has an exact 64-bit mantissa (5^27 < 2^63).
constexpr int exact_power_max = 27;
constexpr int exact_mantissa_digits = 19;

bool is_blank(uint8_t c) { return c == ' ' || c == 9; }

// The most digits of each radix that a 64-bit pattern holds, counted from
// the first non-zero digit.
uint32_t radix_digits_max(uint8_t radix) { return radix == n_radix_hex ? 16 : radix == n_radix_octal ? 22 : 64; }

uint8_t radix_of(uint8_t c) {
  switch (c) {
    case 'H': case 'h': return n_radix_hex;
    case 'O': case 'o': return n_radix_octal;
    case 'B': case 'b': return n_radix_binary;
    default: return n_radix_decimal;
  }
}

kx_float radix_literal(const uint8_t* p, const uint8_t* end) {
  if (end - p < 3) return 0;
  const uint8_t radix = radix_of(p[1]);
  if (radix == n_radix_decimal) return 0;
  const int shift = radix == n_radix_hex ? 4 : radix == n_radix_octal ? 3 : 1;
  uint64_t value = 0;
  uint32_t counted = 0;
  uint8_t first = 0;
  for (p += 2; p < end; ++p) {
    if (is_blank(*p)) continue;
    const int32_t d = kx::radix_digit_value(*p, radix);
    if (d < 0) break;
    if (counted == 0 && d == 0) continue;
    if (counted == 0) first = static_cast<uint8_t>(d);
    ++counted;
    if (counted > radix_digits_max(radix)) {
      error(err::overflow);
      return 0;
    }
    value = value << shift | static_cast<uint64_t>(d);
  }
  if (radix == n_radix_octal && counted == radix_digits_max(radix) && first > 1) {
    error(err::overflow);
    return 0;
  }
  return static_cast<kx_float>(static_cast<int64_t>(value));
}

// Powers of ten exact in the 80-bit type.
kx_float exact_power(int n) {
  kx_float p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// The significant digits of the number being read. Sized from the input,
// so that no run of digits can overflow it; kept between calls so that
// VAL in a loop does not allocate.
std::string significant;
std::string rebuilt;

}  // namespace

kx_float func_val(kxs* s) {
  if (s->length == 0) return 0;
  const uint8_t* p = s->chars;
  const uint8_t* const end = p + s->length;
  significant.clear();
  stage st = stage::start;
  bool negative = false, exponent_negative = false, exponent_written = false;
  int64_t integer_digits = 0, fraction_zeros = 0, written = 0;
  int exponent_count = 0;
  kx_float result = 0;
  bool radix = false;
  for (; p < end; ++p) {
    const uint8_t c = *p;
    if (is_blank(c)) continue;
    if (c == '&' && st == stage::start) {
      result = radix_literal(p, end);
      radix = true;
      break;
    }
    if (c == '+' || c == '-') {
      if (st == stage::start) {
        negative = c == '-';
        st = stage::integer;
      } else if (st == stage::exponent_letter) {
        exponent_negative = c == '-';
        st = stage::exponent;
      } else {
        break;
      }
    } else if (c == '.') {
      if (st != stage::start && st != stage::integer) break;
      st = stage::fraction;
    } else if (c == 'D' || c == 'E' || c == 'd' || c == 'e') {
      if (st != stage::start && st != stage::integer && st != stage::fraction) break;
      st = stage::exponent_letter;
    } else if (c >= '0' && c <= '9') {
      if (st == stage::start || st == stage::integer) {
        st = stage::integer;
        if (significant.empty() && c == '0') continue;
        significant += static_cast<char>(c);
        ++integer_digits;
      } else if (st == stage::fraction) {
        if (significant.empty() && c == '0') {
          ++fraction_zeros;
          continue;
        }
        significant += static_cast<char>(c);
      } else {
        st = stage::exponent;
        exponent_written = true;
        if (written == 0 && c == '0') continue;
        if (exponent_count == exponent_digits_max) break;
        ++exponent_count;
        written = written * 10 + (c - '0');
      }
    } else {
      break;
    }
  }
  if (radix) return result;
  if (significant.empty()) return 0;
  const auto digits = static_cast<int64_t>(significant.size());
  if (!exponent_written && digits == integer_digits && digits <= exact_integer_digits) {
    int64_t whole = 0;
    for (char d : significant) whole = whole * 10 + (d - '0');
    return negative ? -static_cast<kx_float>(whole) : static_cast<kx_float>(whole);
  }
  const int64_t position = integer_digits ? integer_digits : -fraction_zeros;
  const int64_t exponent = (exponent_negative ? -written : written) + position - 1;
  const int64_t scale = exponent - (digits - 1);
  if (digits <= exact_mantissa_digits && scale >= -exact_power_max && scale <= exact_power_max) {
    // The digits as an integer and the power of ten are both exact in the
    // 80-bit type: one operation gives the nearest value.
    uint64_t whole = 0;
    for (char d : significant) whole = whole * 10 + static_cast<uint64_t>(d - '0');
    const kx_float power = exact_power(static_cast<int>(scale >= 0 ? scale : -scale));
    const kx_float magnitude = scale >= 0 ? static_cast<kx_float>(whole) * power : static_cast<kx_float>(whole) / power;
    return negative ? -magnitude : magnitude;
  }
  rebuilt.clear();
  rebuilt.reserve(significant.size() + 32);
  if (negative) rebuilt += '-';
  rebuilt += significant[0];
  rebuilt += '.';
  rebuilt.append(significant, 1);
  char tail[32];
  std::snprintf(tail, sizeof tail, "E%lld", static_cast<long long>(exponent));
  rebuilt += tail;
  return std::strtold(rebuilt.c_str(), nullptr);
}

int32_t hexoct2uint64(kxs* s) {
  hexoct2uint64_value = 0;
  const auto length = static_cast<uint32_t>(s->length);
  if (length == 0) return n_radix_hex;
  const uint8_t* p = s->chars;
  if (p[0] != '&') return 0;
  if (length == 1) return n_radix_hex;
  const uint8_t radix = radix_of(p[1]);
  if (radix == n_radix_decimal) return 0;
  // Leading zeros count towards the limits here: the text must stay short.
  const uint32_t digits = length - 2;
  if (digits > radix_digits_max(radix)) return 0;
  if (radix == n_radix_octal && digits == radix_digits_max(radix) && p[2] > '1') return 0;
  uint64_t value = 0;
  const int shift = radix == n_radix_hex ? 4 : radix == n_radix_octal ? 3 : 1;
  for (uint32_t i = 2; i < length; ++i) {
    const int32_t d = kx::radix_digit_value(p[i], radix);
    if (d < 0) return 0;
    value = value << shift | static_cast<uint64_t>(d);
  }
  hexoct2uint64_value = value;
  return radix;
}
