#pragma once
// s = s + x in place: the compiled form of a string built up piece by
// piece. The plain form (kxs_set of kxs_add) copies both operands into a
// new string every time, so a string built that way costs the square of
// its length; this one copies only x while the pool has room after s.
#include "values/string_descriptor.h"

// dest = dest + x, with x consumed as kxs_add consumes it. dest grows where
// it is while the next string in its pool lies far enough above it (or
// none does); otherwise it moves to the end of the pool with as much room
// again as its new length, so that growth costs amortised linear time.
// Fixed-length, conventional-pool and fielded destinations, and x being
// dest itself, take the plain form, whose meaning this keeps in every case.
kxs* kxs_append(kxs* dest, kxs* x);
