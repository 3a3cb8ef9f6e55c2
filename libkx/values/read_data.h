#pragma once
// READ over the program's DATA: the items are the DATA text, separated by
// commas. Compiled code passes the DATA bytes, its read position and the
// DATA length; after a failed READ the position is back at the start of the
// item, so the READ can be repeated there.
#include <cstdint>

#include "values/rounding.h"

struct kxs;

// The program's READ position in its DATA; RESTORE sets it, CLEAR and RUN
// return it to the start.
extern int64_t data_offset;

// One numeric token from the item at *position: 0 read, 1 too many digits,
// 2 no more DATA, 3 malformed item.
int32_t n_inputnumberfromdata(const uint8_t* data, int64_t* position, int64_t length);

// READ into any numeric type but the 64-bit integers (type: the variable's
// type code). Errors 4 (no more DATA), 2 (malformed item), 6 (too large).
kx_float func_read_float(const uint8_t* data, int64_t* position, int64_t length, int32_t type);
int64_t func_read_int64(const uint8_t* data, int64_t* position, int64_t length);
uint64_t func_read_uint64(const uint8_t* data, int64_t* position, int64_t length);
void sub_read_string(const uint8_t* data, int64_t* position, int64_t length, kxs* target);

namespace kx {
// The value of a token read for an integer or floating variable of the
// given type code, rounded for integers; false when it does not fit.
bool fit_to_type(kx_float value, int32_t type, bool radix, kx_float* result);
// The current token for a variable of the type code, through n_float.
bool token_as_type(int32_t type, kx_float* value);
}  // namespace kx
