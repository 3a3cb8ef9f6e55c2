#pragma once
// INSTR and _INSTRREV: 1-based positions of one string inside another, 0
// when there is none. No start position is an error.
#include <cstdint>

struct kxs;

// The first occurrence of t in s at or after start (1 when start_passed is
// zero). An empty t is found at start itself, except in an empty s.
int32_t func_instr(int32_t start, kxs* s, kxs* t, int32_t start_passed);
// The last occurrence of t in s that begins at or before start (the last
// place t fits when start_passed is zero or start lies outside s).
int32_t func__instrrev(int32_t start, kxs* s, kxs* t, int32_t start_passed);
