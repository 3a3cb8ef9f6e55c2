#pragma once
// Statements that write into a string variable without changing its
// length: MID$(v, start[, n]) = t, LSET and RSET. Constant text is never
// written, and no position or count is an error.
#include <cstdint>

struct kxs;

// Replaces up to n bytes of v from position start with the bytes of t (n
// counts only when n_passed is non-zero; otherwise LEN(t)). A start below 1
// skips as many bytes of t. v and t may be the same string.
void sub_mid(kxs* v, int32_t start, int32_t n, kxs* t, int32_t n_passed);

// s left- or right-justified in v, padded with blanks (or its first LEN(v)
// bytes). A FIELD-linked v then updates its file's record buffer.
void sub_lset(kxs* v, kxs* s);
void sub_rset(kxs* v, kxs* s);
