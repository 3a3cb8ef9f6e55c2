#pragma once
// A finite double rounded to a number of significant decimal digits, ties
// to even, computed exactly in 128-bit integers for values of everyday size.
#include <cstdint>

namespace kx {
// |v| rounded to count (1 to 17) significant digits: *digits holds them as
// an integer of exactly count digits (0 for zero) and *exponent the decimal
// exponent of the first. False when |v| is too large or too small for the
// 128-bit computation (roughly outside 1e-19 to 1e30); the caller then
// needs a general method.
bool round_to_digits(double v, int count, uint64_t* digits, int* exponent);
}  // namespace kx
