#pragma once
// PRINT USING formatting. A statement PRINT USING f$; a; b; ... is one call
// per value: each call copies the format's literal text up to the next
// field, formats the value into that field, copies literal text up to the
// field after it (or the format's end) and returns the format position at
// which the next call goes on (0 before the first call, and 0 again after
// the end: a format with fewer fields than values is used again). The text
// goes to a destination, which the statement then prints or writes.
//
// Fields. Numeric: "#" digit positions, a "." and more "#" after it, ","
// separators (before the point), "**" (blank positions shown as "*"),
// "$$" or "**$" (a dollar sign before the digits), a leading "+", a
// trailing "+" or "-", and "^^^^" or "^^^^^" for exponent notation. Text:
// "!" (first character), "&" (whole string), "\  \" (two characters plus
// one per blank between the backslashes). "_" makes the next character
// literal. A number wider than its field is shown whole after a "%".
//
// Errors leave in the destination what was already formatted: a format
// without any field is error 5, a text value for a numeric field or a
// number for a text field is error 13, an infinite or NaN value error 5.
// While an error is pending nothing is done and 0 is returned.
#include <cstddef>
#include <cstdint>

#include "values/rounding.h"

struct kxs;

namespace kx {

// Where the formatted text of each call goes: the screen's and the file
// layer's PRINT USING both pass one. append is called at most once per
// call, with all the text the call made (also when it ends in an error).
class using_destination {
 public:
  virtual void append(const uint8_t* bytes, size_t length) = 0;

 protected:
  ~using_destination() = default;
};

// Appends to a string variable (with kxs_add: error 14 past 2^31 - 1
// bytes). Constant text is never written: appending to it does nothing.
class string_destination final : public using_destination {
 public:
  explicit string_destination(kxs* s) : s_(s) {}
  void append(const uint8_t* bytes, size_t length) override;

 private:
  kxs* s_;
};

}  // namespace kx

// value null: no value; literal text is copied up to the next field.
int32_t print_using(kxs* format, int32_t pos, kx::using_destination& dest, kxs* value);
int32_t print_using_integer64(kxs* format, int64_t value, int32_t pos, kx::using_destination& dest);
int32_t print_using_uinteger64(kxs* format, uint64_t value, int32_t pos, kx::using_destination& dest);
int32_t print_using_single(kxs* format, float value, int32_t pos, kx::using_destination& dest);
int32_t print_using_double(kxs* format, double value, int32_t pos, kx::using_destination& dest);
int32_t print_using_float(kxs* format, kx_float value, int32_t pos, kx::using_destination& dest);

// The same with a destination string that accumulates the line.
inline int32_t print_using(kxs* format, int32_t pos, kxs* dest, kxs* value) {
  kx::string_destination d(dest);
  return print_using(format, pos, d, value);
}
inline int32_t print_using_integer64(kxs* format, int64_t value, int32_t pos, kxs* dest) {
  kx::string_destination d(dest);
  return print_using_integer64(format, value, pos, d);
}
inline int32_t print_using_uinteger64(kxs* format, uint64_t value, int32_t pos, kxs* dest) {
  kx::string_destination d(dest);
  return print_using_uinteger64(format, value, pos, d);
}
inline int32_t print_using_single(kxs* format, float value, int32_t pos, kxs* dest) {
  kx::string_destination d(dest);
  return print_using_single(format, value, pos, d);
}
inline int32_t print_using_double(kxs* format, double value, int32_t pos, kxs* dest) {
  kx::string_destination d(dest);
  return print_using_double(format, value, pos, d);
}
inline int32_t print_using_float(kxs* format, kx_float value, int32_t pos, kxs* dest) {
  kx::string_destination d(dest);
  return print_using_float(format, value, pos, d);
}
