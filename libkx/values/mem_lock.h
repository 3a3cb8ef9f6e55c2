#pragma once
// Memory locks: the tag of every block of memory that a _MEM value may point
// into. A _MEM value is valid only while its lock's id equals the id it
// recorded, and ids are never reused.
#include <cstdint>

struct mem_lock {
  uint64_t id;  // 0 once released
  int32_t type;
  void* memory;  // released with the lock when type is mem_lock_owned
};

inline constexpr int32_t mem_lock_plain = 0;   // a region, nothing to release
inline constexpr int32_t mem_lock_owned = 1;   // owns a heap block (malloc)
inline constexpr int32_t mem_lock_image = 2;   // held by an image until it is freed
inline constexpr int32_t mem_lock_scope = 3;   // a SUB or FUNCTION call
inline constexpr int32_t mem_lock_array = 4;

inline constexpr uint32_t mem_lock_max = 10000;        // records per block
inline constexpr uint32_t mem_lock_freed_initial = 1000;
inline constexpr uint64_t mem_lock_first_id = 1073741824;

extern mem_lock* mem_lock_tmp;  // the lock handed out last
extern uint64_t mem_lock_id;    // the id handed out last
extern uint32_t mem_lock_next;  // records used in the current block
extern uint64_t mem_lock_freed_max;  // room of the released stack, doubled when full
extern uint64_t mem_lock_freed_n;    // locks on the released stack

// Hands out a lock (id set, type left for the caller) in mem_lock_tmp.
// Critical error 504 when no block of locks can be had.
void new_mem_lock();
// Releases a lock; a type-1 lock frees its memory. A lock that is already
// released is left alone. Critical error 504 when the released stack
// cannot grow.
void free_mem_lock(mem_lock* lock);

namespace kx {
// Drops every lock block and the released stack and restarts the ids.
void mem_lock_init();
uint64_t mem_lock_freed_count();
}  // namespace kx
