#include "values/print_using_number.h"

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cstddef>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "values/number_to_text.h"

namespace kx {
namespace {

constexpr int exact_decimals = 255;
// "% .255Lf" of the largest _FLOAT: sign, every integer digit, point,
// decimals and the terminator. Sized for the worst case: a huge value has
// thousands of integer digits.
constexpr size_t float_text_room = 1 + (LDBL_MAX_10_EXP + 1) + 1 + exact_decimals + 1;
// "% .255E" of a double or _FLOAT: sign, digit, point, decimals, "E",
// sign, up to 4 exponent digits and the terminator.
constexpr size_t scientific_text_room = 1 + 1 + 1 + exact_decimals + 1 + 1 + 4 + 1;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Stores digits without their leading and trailing zeros.
void store_digits(std::string_view digits, int64_t exponent, decimal_number* out) {
  const size_t first = digits.find_first_not_of('0');
  out->digits.clear();
  out->exponent = 0;
  if (first == std::string_view::npos) return;
  const size_t last = digits.find_last_not_of('0');
  out->digits.assign(digits.substr(first, last + 1 - first));
  out->exponent = exponent + static_cast<int64_t>(digits.size() - 1 - last);
}

// The exact decimal form of a SINGLE or DOUBLE to 256 significant digits,
// rounded to nearest with ties to even as the C library's "% .255E"
// rounds: std::to_chars writes the same digits in a fraction of the time.
// A SINGLE widens to DOUBLE exactly, so its digits are the double's.
bool scientific_decimal(double v, char letter, decimal_number* out) {
  if (!std::isfinite(v)) return false;
  char text[scientific_text_room];
  const auto done = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, exact_decimals);
  if (done.ec != std::errc()) return false;
  // d.ddd...e+XX, with a "-" first for a negative value (also -0).
  const bool negative = text[0] == '-';
  char* digits = text + (negative ? 1 : 0);
  const char* exponent_text = digits + 2 + exact_decimals + 1;  // past the "e"
  int exponent = 0;
  std::from_chars(exponent_text + (*exponent_text == '+' ? 1 : 0), done.ptr, exponent);
  // The leading digit and the decimals, without the point between them.
  digits[1] = digits[0];
  out->negative = negative;
  out->exponent_letter = letter;
  store_digits(std::string_view(digits + 1, exact_decimals + 1), exponent - exact_decimals, out);
  return true;
}

// _FLOAT through the C library: "% .255LE", as for the scientific form of
// the other types.
bool scientific_decimal(kx_float v, char letter, decimal_number* out) {
  char text[scientific_text_room];
  const int n = std::snprintf(text, sizeof text, "% .*LE", exact_decimals, v);
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

char float_text[float_text_room];

}  // namespace

void decimal_of(int64_t v, decimal_number* out) {
  decimal_of(v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v), out);
  out->negative = v < 0;
}

void decimal_of(uint64_t v, decimal_number* out) {
  char text[24];
  char* end = text + sizeof text;
  const char* first = magnitude_digits(v, end);
  out->negative = false;
  out->exponent_letter = 'E';
  store_digits(std::string_view(first, static_cast<size_t>(end - first)), 0, out);
}

bool decimal_of(float v, decimal_number* out) { return scientific_decimal(static_cast<double>(v), 'E', out); }
bool decimal_of(double v, decimal_number* out) { return scientific_decimal(v, 'D', out); }

bool decimal_of(kx_float v, decimal_number* out) {
  // Below 1 the fixed form keeps only the digits down to 10^-255, which
  // for the smallest values is none at all: take 256 significant digits
  // instead, as for SINGLE and DOUBLE. The digits a field can show are the
  // same either way.
  if (std::fabs(v) < 1) return scientific_decimal(v, 'F', out);
  const int n = std::snprintf(float_text, sizeof float_text, "% .*Lf", exact_decimals, v);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof float_text || (float_text[0] != ' ' && float_text[0] != '-'))
    return false;
  const std::string_view text(float_text + 1, static_cast<size_t>(n - 1));
  const size_t point = text.find('.');
  if (point == std::string_view::npos || point == 0 || text.size() - point - 1 != exact_decimals) return false;
  if (!std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(point), is_digit) ||
      !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(point) + 1, text.end(), is_digit))
    return false;
  // Close the point up: the integer digits move one place right.
  std::copy_backward(float_text, float_text + 1 + point, float_text + 2 + point);
  out->negative = float_text[1] == '-';
  out->exponent_letter = 'F';
  store_digits(std::string_view(float_text + 2, text.size() - 1), -exact_decimals, out);
  return true;
}

namespace {

// The digit at index i of the digit string, and "0" beyond it.
char digit_at(const std::string& digits, int64_t i) {
  return i >= 0 && i < static_cast<int64_t>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
}

// Keeps the first keep digits, adding one to the last kept when the next
// is 5 or more; a carry out of the first digit makes a new leading 1.
void round_to(std::string* digits, int64_t* exponent, int64_t keep) {
  const auto length = static_cast<int64_t>(digits->size());
  if (keep < 0 || keep >= length || (*digits)[static_cast<size_t>(keep)] < '5') return;
  digits->resize(static_cast<size_t>(keep));
  *exponent += length - keep;
  int64_t i = keep - 1;
  while (i >= 0 && (*digits)[static_cast<size_t>(i)] == '9') (*digits)[static_cast<size_t>(i--)] = '0';
  if (i < 0)
    digits->insert(digits->begin(), '1');
  else
    ++(*digits)[static_cast<size_t>(i)];
}

void trailing_sign(const numeric_field& field, bool negative, std::string* out) {
  if (field.trailing_plus) out->push_back(negative ? '-' : '+');
  if (field.trailing_minus) out->push_back(negative ? '-' : ' ');
}

bool sign_has_own_place(const numeric_field& field) {
  return field.leading_plus || field.trailing_plus || field.trailing_minus;
}

// Module-level scratch: the rounded digits of the value being laid out.
std::string rounded;

void lay_out_plain(const numeric_field& field, const decimal_number& value, std::string* out) {
  rounded = value.digits;
  int64_t exponent = value.exponent;
  const int64_t after = field.digits_after_point;
  round_to(&rounded, &exponent, static_cast<int64_t>(rounded.size()) + exponent + after);
  const auto length = static_cast<int64_t>(rounded.size());
  // A "-" with no sign field of its own takes a position before the point,
  // and with commas one position in four is a comma's.
  const bool sign_in_field = value.negative && !sign_has_own_place(field);
  const int64_t room = field.digits_before_point - (sign_in_field ? 1 : 0);
  const int64_t digit_room = field.commas ? room - room / 4 : room;
  const int64_t integer_digits = rounded.empty() ? 0 : std::max<int64_t>(0, length + exponent);
  const bool cant_fit = integer_digits > digit_room;
  const bool leading_zero = integer_digits == 0 && digit_room > 0;
  int64_t width = integer_digits;
  if (field.commas && integer_digits > 0) width += (integer_digits - 1) / 3;
  if (leading_zero) width = 1;
  const int64_t fill = cant_fit ? 0 : std::max<int64_t>(0, room - width);

  if (cant_fit) out->push_back('%');
  if (field.leading_plus) out->push_back(value.negative ? '-' : '+');
  out->append(static_cast<size_t>(fill), field.asterisk_spaces ? '*' : ' ');
  if (sign_in_field) out->push_back('-');
  if (field.dollar_sign) out->push_back('$');
  if (leading_zero) out->push_back('0');
  // The digit for 10^k sits at index length + exponent - 1 - k.
  for (int64_t k = integer_digits - 1; k >= 0; --k) {
    out->push_back(digit_at(rounded, length + exponent - 1 - k));
    if (field.commas && k > 0 && k % 3 == 0) out->push_back(',');
  }
  if (field.decimal_point) out->push_back('.');
  for (int64_t j = 1; j <= after; ++j) out->push_back(digit_at(rounded, length + exponent - 1 + j));
  trailing_sign(field, value.negative, out);
}

void lay_out_exponent(const numeric_field& field, const decimal_number& value, std::string* out) {
  int64_t before = field.digits_before_point;
  int64_t after = field.digits_after_point;
  bool point = field.decimal_point;
  bool sign_place = !sign_has_own_place(field);
  bool zero_in_sign_place = false;
  bool cant_fit = false;
  if (sign_place) {
    // The sign's place comes from before the point, else from after it,
    // else the point itself gives way to a position.
    if (--before < 0) {
      before = 0;
      if (--after <= 0) {
        after = 0;
        point = false;
        before = 1;
      }
    }
    if (!value.negative && before == 0) {
      if (after > 0) {
        zero_in_sign_place = true;
      } else {
        before = 1;
        sign_place = false;
      }
    }
  }
  if (before == 0 && after == 0) {
    before = 1;
    cant_fit = true;
  }

  rounded = value.digits;
  int64_t digit_exponent = value.exponent;
  round_to(&rounded, &digit_exponent, before + after);
  // Zero counts as one integer digit, as its own digit string "0" would.
  const int64_t integer_digits = rounded.empty() ? 1 : static_cast<int64_t>(rounded.size()) + digit_exponent;
  const int64_t exponent = before > 0 ? (integer_digits - 1) - (before - 1) : integer_digits;
  char exponent_text[24];
  char* exponent_end = exponent_text + sizeof exponent_text;
  char* exponent_first =
      magnitude_digits(exponent < 0 ? 0 - static_cast<uint64_t>(exponent) : static_cast<uint64_t>(exponent), exponent_end);
  const int64_t exponent_length = exponent_end - exponent_first;
  if (exponent_length > field.exponent_digits) cant_fit = true;

  if (cant_fit) out->push_back('%');
  if (field.leading_plus) out->push_back(value.negative ? '-' : '+');
  if (field.dollar_sign) out->push_back('$');
  if (sign_place) out->push_back(value.negative ? '-' : (zero_in_sign_place ? '0' : ' '));
  for (int64_t i = 0; i < before; ++i) out->push_back(digit_at(rounded, i));
  if (point) out->push_back('.');
  for (int64_t i = 0; i < after; ++i) out->push_back(digit_at(rounded, before + i));
  out->push_back(value.exponent_letter);
  out->push_back(exponent < 0 ? '-' : '+');
  if (exponent_length < field.exponent_digits) out->append(static_cast<size_t>(field.exponent_digits - exponent_length), '0');
  out->append(exponent_first, static_cast<size_t>(exponent_length));
  trailing_sign(field, value.negative, out);
}

}  // namespace

void lay_out_number(const numeric_field& field, const decimal_number& value, std::string* out) {
  if (field.exponent_digits > 0)
    lay_out_exponent(field, value, out);
  else
    lay_out_plain(field, value, out);
}

}  // namespace kx
