#include "values/mem_blocks.h"

#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "values/growable_array.h"
#include "values/out_of_memory.h"

namespace {

mem_block value_of(intptr_t offset, intptr_t size, int64_t type, int64_t elementsize, mem_lock* lock) {
  mem_block m{};
  m.offset = offset;
  m.size = size;
  m.lock = lock;
  m.lock_id = lock ? static_cast<int64_t>(lock->id) : 0;
  m.type = type;
  m.elementsize = elementsize;
  m.image = -1;
  return m;
}

mem_lock* new_lock_of_type(int32_t type) {
  new_mem_lock();
  mem_lock_tmp->type = type;
  mem_lock_tmp->memory = nullptr;
  return mem_lock_tmp;
}

// The lock every invalid value points at: it is never handed out, so its
// id (0) never equals the id such a value records.
mem_lock never_valid_lock{};

// Refused reads share one scratch buffer that only ever grows. It starts
// large enough for every value _MEMGET reads by type, so that refused reads
// of those all get the same address.
constexpr uint64_t scratch_least_bytes = 64;
kx::growable_array<uint8_t>& scratch() {
  static kx::growable_array<uint8_t> buffer;
  return buffer;
}

}  // namespace

mem_block func__mem(intptr_t offset, intptr_t size, int64_t type, int64_t elementsize, mem_lock* lock) {
  return value_of(offset, size, type, elementsize, lock);
}

mem_block func__mem_at_offset(intptr_t offset, intptr_t size) {
  mem_lock* lock = new_lock_of_type(mem_lock_plain);
  if (size < 0) error(err::invalid_size);
  if (new_error) return value_of(0, 0, 0, 1, lock);
  return value_of(offset, size, mem_type_untyped, 1, lock);
}

mem_block func__memnew(intptr_t size) {
  mem_lock* lock = new_lock_of_type(mem_lock_plain);
  if (new_error) return value_of(0, 0, mem_type_untyped, 1, lock);
  if (size < 0) {
    error(err::illegal_function_call);
    return value_of(0, 0, mem_type_untyped, 1, lock);
  }
  // An empty block still has an address, so that it is told from a failed one.
  if (size == 0) return value_of(1, 0, mem_type_untyped, 1, lock);
  void* memory = std::malloc(static_cast<size_t>(size));
  if (!memory) return value_of(0, 0, mem_type_untyped, 1, lock);
  lock->type = mem_lock_owned;
  lock->memory = memory;
  return value_of(reinterpret_cast<intptr_t>(memory), size, mem_type_untyped, 1, lock);
}

int32_t func__memexists(const mem_block* m) {
  if (new_error) return 0;
  return kx::mem_lock_current(*m) ? -1 : 0;
}

void sub__memfree(mem_block* m) {
  if (new_error) return;
  if (!m->lock) {
    error(err::memory_not_initialized);
    return;
  }
  if (!kx::mem_lock_current(*m)) {
    error(err::memory_already_freed);
    return;
  }
  // Images, procedure scopes and arrays release their own locks.
  if (m->lock->type == mem_lock_plain || m->lock->type == mem_lock_owned) free_mem_lock(m->lock);
  m->lock_id = mem_block_freed_id;
}

namespace kx {

mem_block mem_block_invalid() {
  mem_block m{};
  m.lock = &never_valid_lock;
  m.lock_id = mem_block_freed_id;
  m.image = -1;
  return m;
}

void* mem_get_refused(const mem_block& m, intptr_t offset, intptr_t size) {
  if (!m.lock)
    error(err::memory_not_initialized);
  else if (!mem_lock_current(m))
    error(err::memory_freed);
  else if (!mem_range_inside(m, offset, size))
    error(err::memory_region_out_of_range);
  const uint64_t bytes = size > 0 ? static_cast<uint64_t>(size) : 1;
  if (!scratch().resize(bytes > scratch_least_bytes ? bytes : scratch_least_bytes))
    out_of_memory(err::out_of_memory_memget);
  // Earlier refused reads may have been written through: zero it again.
  std::memset(scratch().data(), 0, static_cast<size_t>(bytes));
  return scratch().data();
}

}  // namespace kx
