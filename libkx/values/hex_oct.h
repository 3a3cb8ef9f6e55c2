#pragma once
// HEX$ and OCT$: upper-case hexadecimal and octal digits of an integer's
// two's-complement pattern, in new temporaries.
//
// A non-negative value has no leading zeros ("0" for 0). A negative value
// shows the width of its type (in hexadecimal digits, or in bits for
// OCT$), widened when its pattern needs more: to 4, 8 or 16 digits, or to
// 16, 32 or 64 bits.
#include <cstdint>

#include "values/rounding.h"

struct kxs;

kxs* func_hex(int64_t value, int32_t width_digits);
kxs* func_oct(int64_t value, int32_t width_bits);
// A floating value is rounded to the nearest integer (ties to even) and
// shown as a LONG-width value; at or beyond +-2^63, or NaN, it is error 6
// and an empty result.
kxs* func_hex_float(kx_float x);
kxs* func_oct_float(kx_float x);
