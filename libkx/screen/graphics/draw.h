#pragma once
// DRAW: the pen language of one-letter commands over the write page.
#include <cstdint>

struct kxs;

// DRAW commands$.
void sub_draw(kxs* commands);

// The number reader at DRAW's current string position: blanks and tabs
// skipped, a sign and a decimal point, or "=" and a 3-byte pointer to a
// variable in the data segment. Sets the two flags below.
double draw_num();
extern int32_t draw_num_invalid;    // a sign or point not followed by a digit, a bad pointer
extern int32_t draw_num_undefined;  // no digit and no variable was read
