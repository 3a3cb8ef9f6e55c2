#pragma once
// _MEM values: a view of a region of memory (a variable, an array, a block
// made by _MEMNEW, an image's pixels, or any address) that the program can
// read, write, fill and copy. Each value records the lock of its region and
// the lock's id when it was made; every access checks that the lock still
// carries that id, so a value whose memory has been released is refused
// instead of used.
#include <cstdint>

#include "values/mem_lock.h"
#include "values/rounding.h"

// Compiled code copies these by value; the fields and their order are fixed.
struct mem_block {
  intptr_t offset;  // the first byte
  intptr_t size;    // bytes
  int64_t lock_id;  // the lock's id when made; mem_block_freed_id once freed
  mem_lock* lock;   // null for a value never set
  int64_t type;     // mem_type_untyped, mem_type_image + bytes per pixel, or set by compiled code
  int64_t elementsize;
  int32_t image;  // negative image handle for image memory, else -1
};

// Below every id new_mem_lock hands out, so a freed value never matches.
inline constexpr int64_t mem_block_freed_id = 1073741821;
inline constexpr int64_t mem_type_untyped = 16384;
inline constexpr int64_t mem_type_image = 3200;

// _MEM(variable or array): compiled code passes the variable's lock.
mem_block func__mem(intptr_t offset, intptr_t size, int64_t type, int64_t elementsize, mem_lock* lock);
// _MEM(offset, size): any address, under a lock of its own.
mem_block func__mem_at_offset(intptr_t offset, intptr_t size);
// _MEMNEW(size): a heap block owned by its lock.
mem_block func__memnew(intptr_t size);
// _MEMEXISTS: -1 while the value's lock still carries its id, else 0.
int32_t func__memexists(const mem_block* m);
// _MEMFREE: releases a _MEMNEW or _MEM(offset, size) block; marks m freed.
void sub__memfree(mem_block* m);
// The address compiled code reads size bytes from: offset itself when the
// range lies inside m, else (after error 300, 308 or 309) a zero-filled
// scratch area. Defined below: it runs for every read through a _MEM value.
inline void* func__memget(const mem_block* m, intptr_t offset, intptr_t size);
// _MEMFILL m, offset, size, source bytes: the range is filled with the
// source repeated from its start.
void sub__memfill(const mem_block* m, intptr_t offset, intptr_t size, const void* source, intptr_t source_size);
void sub__memfill_nochecks(intptr_t offset, intptr_t size, const void* source, intptr_t source_size);
// The typed forms: the value's bytes as the source.
void sub__memfill_1(const mem_block* m, intptr_t offset, intptr_t size, int8_t value);
void sub__memfill_2(const mem_block* m, intptr_t offset, intptr_t size, int16_t value);
void sub__memfill_4(const mem_block* m, intptr_t offset, intptr_t size, int32_t value);
void sub__memfill_8(const mem_block* m, intptr_t offset, intptr_t size, int64_t value);
void sub__memfill_SINGLE(const mem_block* m, intptr_t offset, intptr_t size, float value);
void sub__memfill_DOUBLE(const mem_block* m, intptr_t offset, intptr_t size, double value);
void sub__memfill_FLOAT(const mem_block* m, intptr_t offset, intptr_t size, kx_float value);
void sub__memfill_OFFSET(const mem_block* m, intptr_t offset, intptr_t size, intptr_t value);
void sub__memfill_nochecks_1(intptr_t offset, intptr_t size, int8_t value);
void sub__memfill_nochecks_2(intptr_t offset, intptr_t size, int16_t value);
void sub__memfill_nochecks_4(intptr_t offset, intptr_t size, int32_t value);
void sub__memfill_nochecks_8(intptr_t offset, intptr_t size, int64_t value);
void sub__memfill_nochecks_SINGLE(intptr_t offset, intptr_t size, float value);
void sub__memfill_nochecks_DOUBLE(intptr_t offset, intptr_t size, double value);
void sub__memfill_nochecks_FLOAT(intptr_t offset, intptr_t size, kx_float value);
void sub__memfill_nochecks_OFFSET(intptr_t offset, intptr_t size, intptr_t value);
// _MEMCOPY: moves size bytes between (or within) blocks; the ranges may
// overlap.
void sub__memcopy(const mem_block* source, intptr_t source_offset, intptr_t size, const mem_block* dest,
                  intptr_t dest_offset);

namespace kx {

// Whether offset .. offset + size lies inside m. Computed by subtraction in
// unsigned arithmetic, so no offset or size can wrap round into a pass.
inline bool mem_range_inside(const mem_block& m, intptr_t offset, intptr_t size) {
  const auto start = static_cast<uint64_t>(m.offset), length = static_cast<uint64_t>(m.size);
  const auto first = static_cast<uint64_t>(offset), count = static_cast<uint64_t>(size);
  return first >= start && count <= length && first - start <= length - count;
}

// Whether m's lock still carries the id m recorded.
inline bool mem_lock_current(const mem_block& m) {
  return m.lock && m.lock->id == static_cast<uint64_t>(m.lock_id);
}

// The value every failed _MEMIMAGE gives: no memory, and a lock that never
// matches its id.
mem_block mem_block_invalid();

// The refused read of func__memget: raises its error and hands out the
// scratch area, one buffer reused by every refused read.
[[gnu::cold]] void* mem_get_refused(const mem_block& m, intptr_t offset, intptr_t size);

// Bytes of _FLOAT's scratch: the value's in-memory layout, then zeros.
inline constexpr int mem_float_bytes = 32;

}  // namespace kx

// The checks of mem_range_inside and mem_lock_current, written for the
// successful read: each range test is one subtraction whose borrow is the
// refusal (the room the read's size leaves in the block, then the distance
// from the block's start to the read, which may not pass that room), and
// each test leaves on its own, so that the compiler branches on each borrow
// directly. The refusal finds the error in its own order.
inline void* func__memget(const mem_block* m, intptr_t offset, intptr_t size) {
  uint64_t room, distance;
  if (__builtin_sub_overflow(static_cast<uint64_t>(m->size), static_cast<uint64_t>(size), &room)) [[unlikely]]
    return kx::mem_get_refused(*m, offset, size);
  if (__builtin_sub_overflow(static_cast<uint64_t>(offset), static_cast<uint64_t>(m->offset), &distance)) [[unlikely]]
    return kx::mem_get_refused(*m, offset, size);
  if (distance > room || !kx::mem_lock_current(*m)) [[unlikely]]
    return kx::mem_get_refused(*m, offset, size);
  return reinterpret_cast<void*>(offset);
}
