#pragma once
// CLEAR: the program's shared variables, files, images, the GOSUB stack and
// the error handler all return to their state at start. Its arguments are
// accepted and ignored.
#include <cstdint>

void sub_clear(int32_t a, int32_t b, int32_t c, int32_t d);
