#include "values/number_to_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "values/decimal_rounding.h"
#include "values/string_results.h"

namespace {

constexpr int text_room = 32;

// A value in scientific form: the sign column, the significant digits and
// the decimal exponent.
struct scientific {
  char sign;
  char digits[20];
  int exponent;
};

// The value rounded to count significant digits, ties to even, as the C
// library's "% .NE" rounds them: exactly in integers for values of
// everyday size, and by std::to_chars (as exact, somewhat slower)
// otherwise. False for an infinity or NaN.
bool scientific_digits(double v, int count, scientific* out) {
  if (!std::isfinite(v)) return false;
  out->sign = std::signbit(v) ? '-' : ' ';
  uint64_t digits = 0;
  if (kx::round_to_digits(v, count, &digits, &out->exponent)) {
    for (int i = count - 1; i >= 0; --i) {
      out->digits[i] = static_cast<char>('0' + digits % 10);
      digits /= 10;
    }
    return true;
  }
  char text[48];
  const auto done = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, count - 1);
  const char* p = text + (out->sign == '-');
  out->digits[0] = *p++;
  if (count > 1) {
    std::memcpy(out->digits + 1, p + 1, static_cast<size_t>(count - 1));
    p += count;
  }
  ++p;  // the exponent letter
  const bool negative = *p++ == '-';
  int e = 0;
  while (p < done.ptr) e = e * 10 + (*p++ - '0');
  out->exponent = negative ? -e : e;
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
int lay_out(const scientific& v, const float_style& style, char* out) {
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
  if (magnitude >= 100) *p++ = static_cast<char>('0' + magnitude / 100);
  *p++ = static_cast<char>('0' + magnitude / 10 % 10);
  *p++ = static_cast<char>('0' + magnitude % 10);
  return static_cast<int>(p - out);
}

// The C library's own text for a value that has no digits to show
// (" INF", "-NAN" ...).
int unusual_text(double v, int decimals, char* out) {
  char text[text_room];
  const int n = std::snprintf(text, sizeof text, "% .*E", decimals, v);
  std::memcpy(out, text, static_cast<size_t>(n));
  return n;
}

template <class T>
kxs* signed_text(T v) {
  if (new_error) return kx::empty_result();
  char text[text_room];
  char* end = text + sizeof text;
  const bool negative = v < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(static_cast<int64_t>(v)) : static_cast<uint64_t>(v);
  char* first = kx::magnitude_digits(magnitude, end);
  *--first = negative ? '-' : ' ';
  return kx::text_result(first, static_cast<size_t>(end - first));
}

template <class T>
kxs* unsigned_text(T v) {
  if (new_error) return kx::empty_result();
  char text[text_room];
  char* end = text + sizeof text;
  char* first = kx::magnitude_digits(v, end);
  *--first = ' ';
  return kx::text_result(first, static_cast<size_t>(end - first));
}

template <class F>
kxs* float_result(F format, double v) {
  if (new_error) return kx::empty_result();
  char text[text_room];
  const int n = format(v, text);
  return kx::text_result(text, static_cast<size_t>(n));
}

}  // namespace

char* kx::magnitude_digits(uint64_t v, char* end) {
  do {
    *--end = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  return end;
}

int kx::single_text(float v, char* out) {
  scientific s{};
  if (!scientific_digits(v, single_style.digits, &s)) return unusual_text(v, 6, out);
  return lay_out(s, single_style, out);
}

int kx::double_text(double v, char* out) {
  scientific s{};
  if (!scientific_digits(v, double_style.digits, &s)) return unusual_text(v, 15, out);
  // A sixteenth digit of 9 is mostly the noise of a binary fraction
  // (0.1 + 0.7 is 0.7999999999999999): show 15 digits rounded instead.
  if (s.digits[15] == '9') {
    scientific_digits(v, double_style.digits - 1, &s);
    s.digits[15] = '0';
    // Plain notation is the fixed-point text with no decimals here, and an
    // exponent of 15 leaves it sixteen integer digits: more than the
    // fifteen just kept, so it is written from the value itself.
    if (s.exponent == double_style.largest_plain) {
      char* p = out;
      if (v >= 0) *p++ = ' ';
      p = std::to_chars(p, out + text_room, v, std::chars_format::fixed, 0).ptr;
      return static_cast<int>(p - out);
    }
  }
  return lay_out(s, double_style, out);
}

kxs* kxs_str(int64_t v) { return signed_text(v); }
kxs* kxs_str(int32_t v) { return signed_text(v); }
kxs* kxs_str(int16_t v) { return signed_text(v); }
kxs* kxs_str(int8_t v) { return signed_text(v); }
kxs* kxs_str(uint64_t v) { return unsigned_text(v); }
kxs* kxs_str(uint32_t v) { return unsigned_text(v); }
kxs* kxs_str(uint16_t v) { return unsigned_text(v); }
kxs* kxs_str(uint8_t v) { return unsigned_text(v); }

kxs* kxs_str(float v) {
  return float_result([](double x, char* out) { return kx::single_text(static_cast<float>(x), out); }, v);
}
kxs* kxs_str(double v) { return float_result(kx::double_text, v); }
kxs* kxs_str(kx_float v) { return float_result(kx::double_text, static_cast<double>(v)); }
