#include "input/input_checks.h"

#include <cstdlib>
#include <string>

#include "values/numeric_token.h"
#include "values/string_create.h"
#include "values/type_codes.h"
#include "values/val.h"

namespace {

namespace tc = kx::type_code;

bool all_digits(std::string_view t) {
  for (char c : t) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The radix literal the text is, if it is one: its radix (0 when not).
int32_t radix_literal(std::string_view text, uint64_t* value) {
  kxs view{};
  view.chars = reinterpret_cast<uint8_t*>(const_cast<char*>(text.data()));
  view.length = static_cast<int32_t>(text.size());
  const int32_t radix = hexoct2uint64(&view);
  *value = hexoct2uint64_value;
  return radix;
}

int32_t digits_in_radix(uint64_t m, int32_t radix) {
  const int shift = radix == n_radix_hex ? 4 : radix == n_radix_octal ? 3 : 1;
  int32_t digits = 0;
  for (; m; m >>= shift) ++digits;
  return digits;
}

// Limits of the floating types for the typed text.
struct floating_limits {
  int64_t fraction_zeros;  // zeros after the point refused from here
  int64_t position_high;   // positions of the first digit refused from here
  int64_t position_low;    // and below this
  int64_t digits_with_fraction;
  std::string_view largest;   // the leading digits at the highest position
  std::string_view smallest;  // and at the lowest
};
constexpr floating_limits single_limits{44, 40, -44, 8, "3402823", "1401298"};
constexpr floating_limits double_limits{323, 310, -323, 16, "17976931", "4940656"};

// The first digits of significant, as many as limit has, against it: < 0
// below, 0 equal, > 0 above.
int compare_leading(std::string_view significant, std::string_view limit) {
  const size_t n = std::min(significant.size(), limit.size());
  return significant.substr(0, n).compare(limit.substr(0, n));
}

}  // namespace

namespace kx {

bool check_input_integer(std::string_view text, int32_t type, input_value* value) {
  const int32_t bits = tc::bits(type);
  const uint64_t m = (uint64_t{1} << bits) - 1;
  const bool is_signed = !(type & tc::is_unsigned);
  uint64_t literal = 0;
  if (const int32_t radix = radix_literal(text, &literal)) {
    const auto digits = static_cast<int32_t>(text.size() > 2 ? text.size() - 2 : 0);
    if (literal > m || digits > digits_in_radix(m, radix)) return false;
    value->pattern = literal;
    return true;
  }
  const bool negative = is_signed && !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) {
    value->pattern = 0;
    return true;
  }
  if (text[0] == '0' && text.size() > 1) return false;
  constexpr size_t most_digits = 10;  // 2^32 - 1 has ten
  if (!all_digits(text) || text.size() > most_digits) return false;
  uint64_t magnitude = 0;
  for (char c : text) magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
  const uint64_t limit = !is_signed ? m : negative ? m / 2 + 1 : m / 2;
  if (magnitude > limit) return false;
  value->pattern = (negative ? 0 - magnitude : magnitude) & m;
  return true;
}

bool check_input_integer64(std::string_view text, int32_t type, input_value* value) {
  const bool is_signed = !(type & tc::is_unsigned);
  uint64_t literal = 0;
  if (radix_literal(text, &literal)) {
    value->pattern = literal;
    return true;
  }
  const bool negative = is_signed && !text.empty() && text[0] == '-';
  std::string_view digits = text.substr(negative ? 1 : 0);
  if (digits.empty()) {
    value->pattern = 0;
    return true;
  }
  if (digits[0] == '0' && digits.size() > 1) return false;
  if (!all_digits(digits)) return false;
  const size_t always = is_signed ? 18 : 19;
  if (digits.size() > always + 1) return false;
  if (digits.size() == always + 1) {
    const std::string_view limit = !is_signed ? "18446744073709551615"
                                   : negative ? "9223372036854775808"
                                              : "9223372036854775807";
    if (digits > limit) return false;
  }
  const std::string copy(text);
  value->pattern = is_signed ? static_cast<uint64_t>(std::strtoll(copy.c_str(), nullptr, 10))
                             : std::strtoull(copy.c_str(), nullptr, 10);
  return true;
}

bool check_input_floating(std::string_view text, int32_t type, input_value* value) {
  const int32_t bits = tc::bits(type);
  value->number = 0;
  uint64_t literal = 0;
  if (radix_literal(text, &literal)) {
    // Added in portions that each convert exactly.
    constexpr uint64_t portion = INT64_MAX;
    kx_float sum = 0;
    while (literal > portion) {
      sum += static_cast<kx_float>(portion);
      literal -= portion;
    }
    value->number = sum + static_cast<kx_float>(literal);
    return true;
  }
  const bool allows_d = bits != tc::single_bits;
  // A _FLOAT is scanned as a double with no range check: only the grammar
  // below applies to it, and a value beyond a double's range scans as an
  // infinity or 0.
  const bool ranged = bits != tc::float_bits;
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && text[i] == '-') ++i;
  // Integer digits: none, a single 0, or digits without a leading zero.
  const size_t integer_start = i;
  while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
  std::string_view integer = text.substr(integer_start, i - integer_start);
  if (integer.size() > 1 && integer[0] == '0') return false;
  if (integer == "0") integer = {};
  bool point = false;
  std::string_view fraction;
  if (i < n && text[i] == '.') {
    point = true;
    const size_t from = ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    fraction = text.substr(from, i - from);
  }
  const size_t fraction_zeros = fraction.find_first_not_of('0') == std::string_view::npos
                                    ? fraction.size()
                                    : fraction.find_first_not_of('0');
  const bool has_significant = !integer.empty() || fraction_zeros < fraction.size();
  int64_t exponent = 0;
  std::string scan(text.substr(0, i));
  if (i < n) {
    const char letter = text[i];
    const bool is_letter = letter == 'E' || letter == 'e' || (allows_d && (letter == 'D' || letter == 'd'));
    const bool right_after_point = point && fraction.empty();
    if (!is_letter || right_after_point || !has_significant) return false;
    scan += 'E';
    ++i;
    bool exponent_negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      exponent_negative = text[i] == '-';
      scan += text[i++];
    }
    const std::string_view digits = text.substr(i);
    if (!all_digits(digits) || (digits.size() > 1 && digits[0] == '0')) return false;
    if (ranged) {
      // Any exponent this long is out of SINGLE's and DOUBLE's range.
      constexpr size_t exponent_digits_max = 6;
      if (digits.size() > exponent_digits_max) return false;
      for (char c : digits) exponent = exponent * 10 + (c - '0');
      if (exponent_negative) exponent = -exponent;
    }
    scan += digits;
  }
  if (!ranged) {
    value->number = static_cast<kx_float>(std::strtod(scan.c_str(), nullptr));
    return true;
  }
  const floating_limits& limits = bits == tc::single_bits ? single_limits : double_limits;
  if (static_cast<int64_t>(fraction_zeros) >= limits.fraction_zeros) return false;
  if (has_significant) {
    const int64_t position =
        (integer.empty() ? -static_cast<int64_t>(fraction_zeros) : static_cast<int64_t>(integer.size())) + exponent;
    const bool has_fraction = !fraction.empty() && fraction != "0";
    const size_t digit_count =
        integer.empty() ? fraction.size() - fraction_zeros : integer.size() + fraction.size();
    if (position >= limits.position_high || position < limits.position_low) return false;
    if (has_fraction && static_cast<int64_t>(digit_count) > limits.digits_with_fraction) return false;
    std::string significant(integer.empty() ? fraction.substr(fraction_zeros) : integer);
    if (!integer.empty()) significant += fraction;
    if (position == limits.position_high - 1 && compare_leading(significant, limits.largest) > 0) return false;
    if (position == limits.position_low && compare_leading(significant, limits.smallest) < 0) return false;
  }
  if (bits == tc::single_bits) value->number = std::strtof(scan.c_str(), nullptr);
  else value->number = std::strtod(scan.c_str(), nullptr);
  return true;
}

}  // namespace kx
