#pragma once
// The two byte pools that string text lives in.
//
// Main pool kxs_data: a bump allocator; each new string is followed by 32
// bytes of slack so that the newest string can grow in place. Compaction
// moves only strings that sit more than 32 bytes above their packed place;
// the pool then doubles rather than grows by the request.
//
// Conventional pool: the text area of the data segment, from offset 256 up
// to cmem_sp. It cannot grow; compaction closes every gap and keeps the
// legacy descriptors current.
//
// Sizes and fill levels are 64-bit so that no sum of string lengths wraps.
#include <cstdint>

#include "values/string_descriptor.h"

inline constexpr uint64_t kxs_data_initial_size = 1048576;
inline constexpr uint32_t kxs_slack = 32;
inline constexpr uint32_t kxs_cmem_descriptor_space = 256;

extern uint8_t* kxs_data;
extern uint64_t kxs_data_size;
extern uint64_t kxs_sp;        // fill level of kxs_data
extern uint32_t kxs_cmem_sp;   // fill level of the conventional pool, from dblock

// Compacts the main pool and makes room for extra more bytes (error 512).
void kxs_concat(uint32_t extra);
// Compacts the conventional pool; error 513 when extra bytes still do not fit.
void kxs_concat_cmem(uint32_t extra);

namespace kx {

// The fill level behind the pool's newest string last: its end plus the
// slack, or past its spare bytes when it has more; never past the pool.
inline uint64_t fill_after(const kxs* last) {
  const auto end = static_cast<uint64_t>(last->chars - kxs_data) + static_cast<uint64_t>(last->length);
  const uint64_t fill = end + (last->spare > kxs_slack ? last->spare : kxs_slack);
  return fill < kxs_data_size ? fill : kxs_data_size;
}

// Rewrites a string's legacy descriptor from its length and chars.
void legacy_descriptor_write(const kxs* s);
// Takes a 4-byte legacy descriptor from the top of the data segment for s;
// error_number when it would overlap the string text.
void legacy_descriptor_attach(kxs* s, int32_t error_number);

// A fresh main pool of the initial size and an empty conventional pool.
void string_pools_init();

}  // namespace kx
