#pragma once
// GET and PUT on RANDOM and BINARY files: fixed-size data, variable-length
// strings, and raw bytes for other layers.
#include <cstdint>

struct kxs;
struct byte_element_struct;
struct gfs_file_struct;

// GET/PUT #n, [rec], variable for data of a fixed size. rec is a record
// number (RANDOM) or a 1-based byte position (BINARY).
void sub_get(int32_t n, int64_t rec, byte_element_struct* data, int32_t rec_given);
void sub_put(int32_t n, int64_t rec, byte_element_struct* data, int32_t rec_given);
// GET/PUT of variable-length strings: in RANDOM records with a length
// prefix, in BINARY files as many bytes as the string holds.
void sub_get2(int32_t n, int64_t rec, kxs* data, int32_t rec_given);
void sub_put2(int32_t n, int64_t rec, kxs* data, int32_t rec_given);

// Raw transfers at a 0-based byte position (-1: the current one), with the
// error raised on failure. A short read is not an error: the rest is zero
// filled and the layer's code (-10) returned.
int32_t generic_put(int32_t n, int64_t position, const uint8_t* data, int64_t count);
int32_t generic_get(int32_t n, int64_t position, uint8_t* data, int64_t count);

namespace kx {
// The 0-based byte position of record or byte rec of a RANDOM or BINARY
// file; raises 63 and answers -1 when rec is below 1 or out of range.
int64_t record_position(const gfs_file_struct& record, int64_t rec);
}  // namespace kx
