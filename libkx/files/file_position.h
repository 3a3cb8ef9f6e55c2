#pragma once
// Where a file stands: EOF, LOF, LOC, SEEK, FREEFILE, and LOCK/UNLOCK.
#include <cstdint>

int32_t func_eof(int32_t n);
int64_t func_lof(int32_t n);
int64_t func_loc(int32_t n);
// SEEK(n): the next record (RANDOM) or 1-based byte position.
int64_t func_seek(int32_t n);
// SEEK #n, position: a record number (RANDOM) or 1-based byte position.
void sub_seek(int32_t n, int64_t position);
int32_t func_freefile();
// LOCK/UNLOCK #n, [start] TO [end]; given: bit 0 start, bit 1 end.
void sub_lock(int32_t n, int64_t start, int64_t end, int32_t given);
void sub_unlock(int32_t n, int64_t start, int64_t end, int32_t given);
