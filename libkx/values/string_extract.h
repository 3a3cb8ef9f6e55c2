#pragma once
// Taking parts out of a string: LEFT$, RIGHT$, MID$, the trimming
// functions, ASC and LEN.
//
// The string-valued ones return their argument itself when the part is all
// of it, narrow a reusable temporary in place, and otherwise copy the part
// into a new temporary (releasing a temporary argument). Counts and
// positions outside the string are clipped, never an error; the arithmetic
// is done in 64 bits so that no start plus count can wrap.
#include <cstdint>

struct kxs;

kxs* kxs_left(kxs* s, int32_t n);
kxs* kxs_right(kxs* s, int32_t n);
// MID$(s, start[, n]); n counts only when n_passed is non-zero.
kxs* func_mid(kxs* s, int32_t start, int32_t n, int32_t n_passed);

// Blanks are byte 32 only; tabs and other bytes stay.
kxs* kxs_ltrim(kxs* s);
kxs* kxs_rtrim(kxs* s);
kxs* kxs__trim(kxs* s);

// The byte at position 1, or at position p; error 5 and 0 outside the string.
int32_t kxs_asc(kxs* s);
int32_t kxs_asc(kxs* s, int32_t p);
int32_t kxs_len(kxs* s);
