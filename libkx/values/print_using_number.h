#pragma once
// The numeric fields of PRINT USING: a number as a decimal digit string,
// and its layout in a field of the format.
#include <cstdint>
#include <string>

#include "values/rounding.h"

namespace kx {

// value = digits read as an integer * 10^exponent. The digits have no
// leading or trailing zeros; zero has none at all. negative follows the
// sign the C library printed, so -0 is negative.
struct decimal_number {
  bool negative = false;
  std::string digits;
  int64_t exponent = 0;
  char exponent_letter = 'E';
};

// Exact decimal forms: SINGLE and DOUBLE through "% .255E" (256
// significant digits), _FLOAT through "% .255Lf" (every integer digit and
// 255 decimals) from 1 up and through "% .255LE" below 1. False for an
// infinity or NaN, which has no digits.
void decimal_of(int64_t v, decimal_number* out);
void decimal_of(uint64_t v, decimal_number* out);
bool decimal_of(float v, decimal_number* out);
bool decimal_of(double v, decimal_number* out);
bool decimal_of(kx_float v, decimal_number* out);

// A numeric field as the format spells it: # digit positions, "**" fill,
// "$$" or "**$" dollar sign, "," thousands separators, "." point, "^^^^"
// or "^^^^^" exponent, a leading "+" and a trailing "+" or "-".
struct numeric_field {
  bool leading_plus = false;
  bool dollar_sign = false;
  bool asterisk_spaces = false;
  bool commas = false;
  bool decimal_point = false;
  bool trailing_plus = false;
  bool trailing_minus = false;
  int64_t digits_before_point = 0;  // positions, counting those of "**", "$$" and ","
  int64_t digits_after_point = 0;
  int64_t exponent_digits = 0;  // 0 for plain notation
};

// Appends the value laid out in the field. A number too wide for the field
// is shown whole after a "%". Digits are rounded half up at the last place
// shown, on the exact digit string.
void lay_out_number(const numeric_field& field, const decimal_number& value, std::string* out);

}  // namespace kx
