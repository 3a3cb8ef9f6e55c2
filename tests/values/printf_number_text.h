#pragma once
// STR$ of SINGLE and DOUBLE as the runtime first wrote it: the C library's
// "% .6E" / "% .15E" text taken apart and laid out again. Kept as the
// reference that the faster conversion must match byte for byte, and as
// the "before" figure of the number benchmarks.
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace printf_number_text {

constexpr int text_room = 32;

// What "% .NE" printed, taken apart: the sign column, the significant
// digits and the decimal exponent.
struct scientific {
  char sign;
  char digits[20];
  int exponent;
};

// Reads " d.ddd...E+xx" with count digits; false when the text has another
// shape (an infinity or NaN).
inline bool read_scientific(const char* text, int count, scientific* out) {
  if (text[1] < '0' || text[1] > '9' || text[2] != '.') return false;
  out->sign = text[0];
  out->digits[0] = text[1];
  std::memcpy(out->digits + 1, text + 3, static_cast<size_t>(count - 1));
  out->exponent = std::atoi(text + 3 + (count - 1) + 1);
  return true;
}

// How one floating type is shown.
struct float_style {
  int digits;          // significant digits shown at most
  int largest_plain;   // largest exponent still shown in plain notation
  int deepest_plain;   // lowest exponent - count still shown in plain notation
  char letter;         // exponent letter
};

constexpr float_style single_style{7, 6, -8, 'E'};
constexpr float_style double_style{16, 15, -17, 'D'};

// Lays the significant digits out. Plain notation places them around the
// point exactly as the C library's fixed-point printing of the value with
// count - e - 1 decimals (at least 0) would: the digits are already the
// value rounded to count significant digits, and rounding it to that many
// again, or to the integer when there are more integer digits than count
// and at most as many as were printed, changes nothing.
inline int lay_out(const scientific& v, const float_style& style, char* out) {
  int count = style.digits;
  while (count > 0 && v.digits[count - 1] == '0') --count;
  char* p = out;
  if (count == 0) {
    *p++ = ' ';
    *p++ = '0';
    return static_cast<int>(p - out);
  }
  *p++ = v.sign;
  const int e = v.exponent;
  if (e <= style.largest_plain && e - count >= style.deepest_plain) {
    if (e >= 0) {
      std::memcpy(p, v.digits, static_cast<size_t>(e + 1));
      p += e + 1;
      if (count > e + 1) {
        *p++ = '.';
        std::memcpy(p, v.digits + e + 1, static_cast<size_t>(count - e - 1));
        p += count - e - 1;
      }
    } else {
      *p++ = '.';
      std::memset(p, '0', static_cast<size_t>(-e - 1));
      p += -e - 1;
      std::memcpy(p, v.digits, static_cast<size_t>(count));
      p += count;
    }
    return static_cast<int>(p - out);
  }
  *p++ = v.digits[0];
  if (count > 1) {
    *p++ = '.';
    std::memcpy(p, v.digits + 1, static_cast<size_t>(count - 1));
    p += count - 1;
  }
  *p++ = style.letter;
  *p++ = e < 0 ? '-' : '+';
  const int magnitude = std::abs(e);
  char exponent[8];
  const int n = std::snprintf(exponent, sizeof exponent, "%02d", magnitude);
  std::memcpy(p, exponent, static_cast<size_t>(n));
  p += n;
  return static_cast<int>(p - out);
}

// The C library's own text for a value that has no digits to show.
inline int unusual_text(const char* text, char* out) {
  const size_t n = std::strlen(text);
  std::memcpy(out, text, n);
  return static_cast<int>(n);
}


inline int single_text(float v, char* out) {
  char text[text_room];
  std::snprintf(text, sizeof text, "% .6E", static_cast<double>(v));
  scientific s{};
  if (!read_scientific(text, single_style.digits, &s)) return unusual_text(text, out);
  return lay_out(s, single_style, out);
}

inline int double_text(double v, char* out) {
  char text[text_room];
  std::snprintf(text, sizeof text, "% .15E", v);
  scientific s{};
  if (!read_scientific(text, double_style.digits, &s)) return unusual_text(text, out);
  // A sixteenth digit of 9 is mostly the noise of a binary fraction
  // (0.1 + 0.7 is 0.7999999999999999): show 15 digits rounded instead.
  if (s.digits[15] == '9') {
    std::snprintf(text, sizeof text, "% .14E", v);
    read_scientific(text, double_style.digits - 1, &s);
    s.digits[15] = '0';
    // Plain notation is the C library's fixed-point text with no decimals
    // here, and an exponent of 15 leaves it sixteen integer digits: more
    // than the fifteen just kept, so it has to be printed.
    if (s.exponent == double_style.largest_plain) {
      const int n = std::snprintf(text, sizeof text, "% .0f", v);
      std::memcpy(out, text, static_cast<size_t>(n));
      return n;
    }
  }
  return lay_out(s, double_style, out);
}

}  // namespace printf_number_text
