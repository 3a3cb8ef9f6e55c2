#pragma once
// Assignment and concatenation: the commonest string operations of the
// program. Temporary operands are consumed.
#include "values/string_descriptor.h"

// dest = src. A fixed-length dest is padded with blanks or truncated. A
// temporary src in dest's pool is taken over without copying. Otherwise
// dest keeps its place while the new text fits below the next string, and
// moves to the end of its pool when it does not.
kxs* kxs_set(kxs* dest, kxs* src);

// a + b: an empty operand gives the other operand itself. A result longer
// than 2^31 - 1 bytes raises error 14 and gives an empty temporary, leaving
// both operands as they were.
kxs* kxs_add(kxs* a, kxs* b);
