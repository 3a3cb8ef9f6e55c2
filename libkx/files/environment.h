#pragma once
// ENVIRON and ENVIRON$ over the program's environment
// (files/program_environment.h), and the platform name.
#include <cstdint>

struct kxs;

// ENVIRON$(name$): the variable's value, empty when it is not set.
kxs* func_environ(kxs* name);
// ENVIRON$(n): the n-th entry, "NAME=value", 1-based; empty beyond the
// last; n <= 0 raises 5.
kxs* func_environ(int64_t n);
// ENVIRON "NAME=value": sets or replaces the variable.
void sub_environ(kxs* text);
// _OS$.
kxs* func__os();

namespace kx {
// The process environment's entries at start-up plus one.
int32_t count_environment();
}  // namespace kx
