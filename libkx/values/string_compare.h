#pragma once
// Ordering of strings: bytes compared as unsigned values, and a string that
// is a prefix of another is the smaller. Temporary arguments are left for
// the statement's sweep.
#include <cstdint>

struct kxs;

// -1 when the relation holds, else 0.
int32_t kxs_equal(kxs* a, kxs* b);
int32_t kxs_notequal(kxs* a, kxs* b);
int32_t kxs_lessthan(kxs* a, kxs* b);
int32_t kxs_greaterthan(kxs* a, kxs* b);
int32_t kxs_lessorequal(kxs* a, kxs* b);
int32_t kxs_greaterorequal(kxs* a, kxs* b);

// _STRCMP: -1, 0 or 1. _STRICMP: the same with A to Z read as a to z.
int32_t func__str_compare(kxs* a, kxs* b);
int32_t func__str_nc_compare(kxs* a, kxs* b);
