#pragma once
// Text to number: VAL, and the radix literals that INPUT accepts.
#include <cstdint>

#include "values/rounding.h"

struct kxs;

// VAL(s): the number at the start of s, blanks and tabs anywhere ignored;
// "&H", "&O" and "&B" literals give their 64-bit pattern as a signed value
// (error 6 and 0 when too many digits).
kx_float func_val(kxs* s);

// A whole radix literal with no blanks or sign: 1 hexadecimal, 2 octal,
// 3 binary (the value in hexoct2uint64_value), or 0 when s is not one. An
// empty string and "&" alone count as hexadecimal 0.
extern uint64_t hexoct2uint64_value;
int32_t hexoct2uint64(kxs* s);
