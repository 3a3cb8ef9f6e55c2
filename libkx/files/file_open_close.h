#pragma once
// OPEN in its long and short forms, and CLOSE.
#include <cstdint>

struct kxs;

// OPEN name FOR mode [ACCESS access] [lock] AS #n [LEN = record_length].
// mode: 0 or 1 RANDOM, 2 BINARY, 3 INPUT, 4 OUTPUT, 5 APPEND. access: 0
// none, 1 READ WRITE, 2 READ, 3 WRITE. lock: 0 none, 1 SHARED, 2 LOCK READ
// WRITE, 3 LOCK READ, 4 LOCK WRITE.
void sub_open(kxs* name, int32_t mode, int32_t access, int32_t lock, int32_t n, int64_t record_length,
              int32_t length_given);
// OPEN mode$, #n, name [, record_length]: mode$ starts with R, B, I, O or A.
void sub_open_shortform(kxs* mode, int32_t n, kxs* name, int64_t record_length, int32_t length_given);
// CLOSE [#n]. A negative number closes a network connection; without a
// number every connection and every file is closed. A number not in use is
// ignored; a final write that fails is reported (61 "Disk full", 57
// "Device I/O error", ...).
void sub_close(int32_t n, int32_t n_given);

namespace kx {
// Closes every open file whether or not an error is pending: the road by
// which END, CLEAR and the exit path make sure every byte reaches the disk.
// Raises the first failure.
void close_all_files();
// The same at an exit: the first failure goes to standard error as one line
// instead of being raised.
void close_all_files_at_exit();
// Flushes every open file (critical errors end the process without
// closing).
void flush_all_files();
}  // namespace kx
