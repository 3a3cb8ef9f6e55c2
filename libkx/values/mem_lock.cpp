#include "values/mem_lock.h"

#include <cstdlib>
#include <type_traits>

#include "base/error_numbers.h"
#include "values/growable_array.h"
#include "values/kept_blocks.h"
#include "values/out_of_memory.h"

mem_lock* mem_lock_tmp = nullptr;
uint64_t mem_lock_id = mem_lock_first_id - 1;
uint32_t mem_lock_next = mem_lock_max;
uint64_t mem_lock_freed_max = 0;
uint64_t mem_lock_freed_n = 0;

static_assert(std::is_trivial_v<mem_lock>, "lock blocks are zero-filled bytes");

namespace {

// Blocks are never released while the program runs: _MEM values may still
// look at the ids of released locks.
kx::kept_blocks& lock_blocks() {
  static kx::kept_blocks blocks;
  return blocks;
}
mem_lock* lock_block = nullptr;  // the block records are carved from

// Released locks, reused last-released first.
kx::growable_array<mem_lock*>& mem_lock_freed() {
  static kx::growable_array<mem_lock*> released;
  return released;
}

// Locks tag the runtime's static data: running out of room for them is the
// static pool's critical error.
constexpr int32_t locks_exhausted = err::out_of_memory_static_pool;

mem_lock* next_record() {
  if (mem_lock_next == mem_lock_max) {
    void* block = lock_blocks().allocate(uint64_t{mem_lock_max} * sizeof(mem_lock));
    if (!block) kx::out_of_memory(locks_exhausted);
    lock_block = static_cast<mem_lock*>(block);
    mem_lock_next = 0;
  }
  return &lock_block[mem_lock_next++];
}

void released_stack_grow() {
  const uint64_t grown = mem_lock_freed_max ? mem_lock_freed_max * 2 : mem_lock_freed_initial;
  if (grown < mem_lock_freed_max || !mem_lock_freed().resize(grown)) kx::out_of_memory(locks_exhausted);
  mem_lock_freed_max = grown;
}

}  // namespace

void new_mem_lock() {
  mem_lock* lock = mem_lock_freed_n ? mem_lock_freed()[--mem_lock_freed_n] : next_record();
  lock->id = ++mem_lock_id;
  mem_lock_tmp = lock;
}

void free_mem_lock(mem_lock* lock) {
  // Pushing a lock twice would hand the same record to two owners.
  if (!lock || lock->id == 0) return;
  lock->id = 0;
  if (lock->type == mem_lock_owned) {
    std::free(lock->memory);
    lock->memory = nullptr;
  }
  if (mem_lock_freed_n == mem_lock_freed_max) released_stack_grow();
  mem_lock_freed()[mem_lock_freed_n++] = lock;
}

namespace kx {

void mem_lock_init() {
  lock_blocks().release();
  lock_block = nullptr;
  mem_lock_freed().release();
  mem_lock_freed_max = 0;
  mem_lock_freed_n = 0;
  released_stack_grow();
  mem_lock_next = mem_lock_max;
  mem_lock_id = mem_lock_first_id - 1;
  mem_lock_tmp = nullptr;
}

uint64_t mem_lock_freed_count() { return mem_lock_freed_n; }

}  // namespace kx
