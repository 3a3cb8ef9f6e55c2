#pragma once
// INPUT # into numeric variables: one number per item, items separated by
// commas, blanks or line ends.
#include <cstdint>

#include "values/rounding.h"

// One numeric token from file number n: 0 read, 1 too many digits, 2 end of
// the file before the item, 3 an error (raised).
int32_t n_inputnumberfromfile(int32_t n);

// INPUT # into any numeric type but the 64-bit integers (type: the
// variable's type code). Errors 62 at the end of the file, 6 when the
// number does not fit, and those of the file checks.
kx_float func_file_input_float(int32_t n, int32_t type);
int64_t func_file_input_int64(int32_t n);
uint64_t func_file_input_uint64(int32_t n);
