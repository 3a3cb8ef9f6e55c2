#pragma once
// The numeric token that READ and INPUT # build from DATA items and file
// text, and its conversion to each numeric type. The token holds the
// significant digits as characters (leading zeros are never stored), the
// decimal exponent of the first digit (the number is d1.d2d3... x 10^n_exp),
// the sign and the radix; a token without digits means 0.
#include <cstdint>

#include "values/rounding.h"

inline constexpr int32_t n_digits_max = 256;

// Radix markers of n_hex.
inline constexpr uint8_t n_radix_decimal = 0;
inline constexpr uint8_t n_radix_hex = 1;
inline constexpr uint8_t n_radix_octal = 2;
inline constexpr uint8_t n_radix_binary = 3;

extern char n_digit[n_digits_max + 1];
extern uint16_t n_digits;
extern int64_t n_exp;
extern uint8_t n_neg;
extern uint8_t n_hex;

// The value of the last successful conversion of each kind.
extern kx_float n_float_value;
extern int64_t n_int64_value;
extern uint64_t n_uint64_value;

// 1 and the value when the token fits the type, else 0.
int32_t n_float();
int32_t n_int64();
int32_t n_uint64();
// 1 when the token's first digit after the units place is 5 or more.
int32_t n_roundincrement();

namespace kx {

enum class token_step : uint8_t {
  taken,           // the character belongs to the number
  ended,           // it does not: the token is complete without it
  too_many_digits  // more digits than the token holds, or a too long exponent
};

// Builds the token one character at a time with the grammar both readers
// share: an optional sign, digits, a point and fraction digits, an exponent
// letter (D, E, d or e) with its own sign and digits; or "&" with H, O or B
// and digits of that radix.
class numeric_token_reader {
 public:
  numeric_token_reader();
  token_step feed(uint8_t c);
  // Adds the written exponent; a token without digits is cleared to 0.
  void finish();
  // "&" was read and nothing after it yet: a separator here makes an empty
  // token rather than a malformed one.
  bool after_radix_sign() const { return stage_ == stage::ampersand; }

 private:
  enum class stage : uint8_t { start, ampersand, radix, integer, fraction, exponent_letter, exponent };
  token_step digit(uint8_t c);
  token_step radix_digit(uint8_t c);
  token_step exponent_digit(uint8_t c);

  stage stage_ = stage::start;
  bool significant_ = false;
  bool exponent_negative_ = false;
  uint8_t exponent_digits_ = 0;
  int64_t written_exponent_ = 0;
};

// The digit's value in the radix, or -1 when it is not one of its digits.
int32_t radix_digit_value(uint8_t c, uint8_t radix);
// The bits of a run of radix digits without leading zeros, when they fit in
// 64 bits: at most 16 hexadecimal, 64 binary, or 22 octal digits with the
// first at most 1.
bool radix_digits_value(const char* digits, uint32_t count, uint8_t radix, uint64_t* value);

// The current token as a 64-bit integer; false when it does not fit.
bool token_as_int64(int64_t* value);
bool token_as_uint64(uint64_t* value);

}  // namespace kx
