#pragma once
// Strings made from numbers: CHR$, SPACE$, STRING$ and VARPTR$. Each result
// is a new temporary.
#include <cstdint>

struct kxs;

// One byte; n outside 0 to 255 is error 5 and an empty result.
kxs* func_chr(int32_t n);
// n blanks; a negative n counts as 0.
kxs* func_space(int32_t n);
// n copies of the low 8 bits of code; a negative n counts as 0.
kxs* func_string(int32_t n, int32_t code);
// STRING$(n, s$): n copies of the first byte of s$ (error 5 and an empty
// result when s$ is empty).
kxs* func_string(int32_t n, kxs* s);
// A type byte, then the 16-bit offset low byte first.
kxs* func_varptr_helper(uint8_t type, uint16_t offset);
