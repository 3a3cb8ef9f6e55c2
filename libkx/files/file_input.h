#pragma once
// Reading text from files: INPUT # into strings, LINE INPUT #, INPUT$, and
// the character helpers that the number readers of INPUT # build on.
#include <cstdint>

struct kxs;
struct gfs_file_struct;

namespace kx {
// The answers of file_input_chr that are not a byte.
inline constexpr int32_t file_input_end = -1;
inline constexpr int32_t file_input_failed = -2;
// The record of file number n when INPUT # may read it (its handle in
// *handle); else error 52, 54 or 75 is raised and null returned.
gfs_file_struct* readable_input(int32_t n, int32_t* handle);
}  // namespace kx

// One byte at the current position of handle h: the byte, -1 at the end of
// the file (the end-of-file byte 26 counts as the end and is left in place),
// or -2 after a failure, which is raised.
int32_t file_input_chr(int32_t h);
// After a 13 or 10 (c): consumes the other half of a CR LF or LF CR pair.
void file_input_skip1310(int32_t h, int32_t c);
// After the byte c that ended a number: moves past the item's separator.
void file_input_nextitem(int32_t h, int32_t c);

// INPUT #n, target$.
void sub_file_input_string(int32_t n, kxs* target);
// LINE INPUT #n, target$.
void sub_file_line_input_string(int32_t n, kxs* target);
// INPUT$(count [, #n]): from the file, or from the keyboard without a number.
kxs* func_input(int32_t count, int32_t n, int32_t n_given);
