#include "values/mem_lock.h"

#include <cstdlib>
#include <memory>
#include <vector>

mem_lock* mem_lock_tmp = nullptr;
uint64_t mem_lock_id = mem_lock_first_id - 1;
uint32_t mem_lock_next = mem_lock_max;

namespace {

// Blocks are never released while the program runs: _MEM values may still
// look at the ids of released locks.
std::vector<std::unique_ptr<mem_lock[]>>& lock_blocks() {
  static std::vector<std::unique_ptr<mem_lock[]>> blocks;
  return blocks;
}

// Released locks, reused last-released first. The vector doubles when full.
std::vector<mem_lock*>& released_locks() {
  static std::vector<mem_lock*> released;
  return released;
}

mem_lock* next_record() {
  if (mem_lock_next == mem_lock_max) {
    lock_blocks().push_back(std::make_unique<mem_lock[]>(mem_lock_max));
    mem_lock_next = 0;
  }
  return &lock_blocks().back()[mem_lock_next++];
}

}  // namespace

void new_mem_lock() {
  auto& released = released_locks();
  mem_lock* lock;
  if (!released.empty()) {
    lock = released.back();
    released.pop_back();
  } else {
    lock = next_record();
  }
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
  released_locks().push_back(lock);
}

namespace kx {

void mem_lock_init() {
  lock_blocks().clear();
  released_locks().clear();
  released_locks().reserve(mem_lock_freed_initial);
  mem_lock_next = mem_lock_max;
  mem_lock_id = mem_lock_first_id - 1;
  mem_lock_tmp = nullptr;
}

uint64_t mem_lock_freed_count() { return released_locks().size(); }

}  // namespace kx
