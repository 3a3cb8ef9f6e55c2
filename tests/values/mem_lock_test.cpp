#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "fresh_memory.h"
#include "values/mem_lock.h"

using mem_locks = fresh_memory;

TEST_F(mem_locks, IdsAreUniqueAndReleasedLocksAreReusedFirst) {
  new_mem_lock();
  mem_lock* a = mem_lock_tmp;
  EXPECT_EQ(a->id, 1073741824u);
  new_mem_lock();
  mem_lock* b = mem_lock_tmp;
  EXPECT_EQ(b->id, 1073741825u);
  EXPECT_NE(a, b);

  free_mem_lock(a);
  free_mem_lock(b);
  EXPECT_EQ(a->id, 0u);
  EXPECT_EQ(b->id, 0u);
  new_mem_lock();
  EXPECT_EQ(mem_lock_tmp, b);  // last released first
  EXPECT_EQ(b->id, 1073741826u);
  new_mem_lock();
  EXPECT_EQ(mem_lock_tmp, a);
  EXPECT_EQ(a->id, 1073741827u);
}

TEST_F(mem_locks, OwnedMemoryIsReleasedAndDoubleReleaseIsHarmless) {
  new_mem_lock();
  mem_lock* lock = mem_lock_tmp;
  lock->type = mem_lock_owned;
  lock->memory = std::malloc(100);  // a leak here is reported by the sanitizer build
  free_mem_lock(lock);
  EXPECT_EQ(lock->memory, nullptr);
  free_mem_lock(lock);  // already released: must not be pushed twice
  EXPECT_EQ(kx::mem_lock_freed_count(), 1u);
  new_mem_lock();
  mem_lock* first = mem_lock_tmp;
  new_mem_lock();
  EXPECT_NE(mem_lock_tmp, first);
}

TEST_F(mem_locks, ManyLocksSpanSeveralBlocks) {
  std::set<mem_lock*> records;
  std::set<uint64_t> ids;
  for (uint32_t i = 0; i < 2 * mem_lock_max + 5; ++i) {
    new_mem_lock();
    mem_lock_tmp->type = mem_lock_scope;
    records.insert(mem_lock_tmp);
    ids.insert(mem_lock_tmp->id);
  }
  EXPECT_EQ(records.size(), 2 * mem_lock_max + 5);
  EXPECT_EQ(ids.size(), 2 * mem_lock_max + 5);
  for (mem_lock* l : records) free_mem_lock(l);
  EXPECT_EQ(kx::mem_lock_freed_count(), 2 * mem_lock_max + 5);
}
