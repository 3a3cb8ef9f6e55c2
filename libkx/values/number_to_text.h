#pragma once
// STR$: every numeric type as text, in a new temporary. A non-negative
// value starts with one blank, a negative one with "-".
//
// SINGLE shows at most 7 significant digits, DOUBLE (and _FLOAT, which is
// shown as the DOUBLE nearest to it) at most 16, both correctly rounded by
// the C library. Plain notation is used while the exponent is at most 6
// (15) and no more than 8 (17) places lie between the point and the last
// significant digit; otherwise d.dddE+xx for SINGLE and d.dddD+xx for
// DOUBLE, with three exponent digits from 100 on. A "0" before the point
// is left out: 0.5 is " .5". Zero of either sign is " 0". An infinity or
// NaN is shown as the C library spells it: " INF", "-INF", " NAN", "-NAN".
#include <cstdint>

#include "values/rounding.h"

struct kxs;

kxs* kxs_str(int64_t v);
kxs* kxs_str(int32_t v);
kxs* kxs_str(int16_t v);
kxs* kxs_str(int8_t v);
kxs* kxs_str(uint64_t v);
kxs* kxs_str(uint32_t v);
kxs* kxs_str(uint16_t v);
kxs* kxs_str(uint8_t v);
kxs* kxs_str(float v);
kxs* kxs_str(double v);
kxs* kxs_str(kx_float v);

namespace kx {
// The STR$ text of a SINGLE or DOUBLE written into out (room for 32
// bytes); returns its length. Shared with the benchmarks and tests.
int single_text(float v, char* out);
int double_text(double v, char* out);
// The digits of a 64-bit magnitude written backwards from end; returns the
// first digit. Shared by every integer-to-text conversion.
char* magnitude_digits(uint64_t v, char* end);
}  // namespace kx
