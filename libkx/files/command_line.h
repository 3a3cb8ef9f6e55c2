#pragma once
// COMMAND$ and _COMMANDCOUNT.
#include <cstdint>

struct kxs;

// Without an index: the arguments joined by single blanks. With index n:
// argument n as the system passed it (0 = the program's path), empty
// outside 0 .. argc - 1.
kxs* func_command(int32_t n, int32_t n_given);
int32_t func__commandcount();
