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

// The room that s = s + x keeps after the string it grows (offsets into
// kxs_data): while that string is the newest of the pool, the fill level
// stays at the room's end even when newer strings come and go, so that the
// next string made is not put right behind it, which would make it move
// again soon. Only a hint: the fill level is never set below the newest
// string's end, so a stale record costs pool space and nothing else.
struct growth_room {
  const kxs* owner = nullptr;
  uint64_t start = 0;
  uint64_t end = 0;
};
extern growth_room append_room;

// The fill level behind the pool's newest string last: its end plus the
// slack, or the end of the room kept for it; never past the pool.
inline uint64_t fill_after(const kxs* last) {
  const auto start = static_cast<uint64_t>(last->chars - kxs_data);
  uint64_t fill = start + static_cast<uint64_t>(last->length) + kxs_slack;
  if (last == append_room.owner && start == append_room.start && append_room.end > fill) fill = append_room.end;
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
