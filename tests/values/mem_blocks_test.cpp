// _MEM values: their making and freeing, and the checks that keep every
// read, fill and copy inside a live block, whatever the offsets and sizes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fresh_memory.h"
#include "values/arrays.h"
#include "values/mem_blocks.h"
#include "values/string_create.h"

namespace {

uint32_t take_error() { return new_error.exchange(0); }

intptr_t address(const void* p) { return reinterpret_cast<intptr_t>(p); }

// A _MEM(offset, size) value over the middle of a buffer with guard bytes
// on either side, which no refused access may touch.
struct guarded {
  static constexpr int guard = 16;
  std::vector<uint8_t> bytes;
  mem_block m;
  explicit guarded(intptr_t size) : bytes(static_cast<size_t>(size + 2 * guard), 0xEE) {
    m = func__mem_at_offset(address(bytes.data() + guard), size);
  }
  bool guards_intact() const {
    for (int i = 0; i < guard; ++i) {
      if (bytes[static_cast<size_t>(i)] != 0xEE || bytes[bytes.size() - 1 - static_cast<size_t>(i)] != 0xEE) return false;
    }
    return true;
  }
  uint8_t at(intptr_t i) const { return bytes[static_cast<size_t>(guard + i)]; }
};

// A copy of a _MEMNEW value whose block has since been freed.
mem_block freed_value(intptr_t size) {
  mem_block m = func__memnew(size);
  const mem_block copy = m;
  sub__memfree(&m);
  return copy;
}

}  // namespace

using MemBlocks = fresh_memory;

TEST_F(MemBlocks, NewBlocksCarryTheirLockTypeAndSize) {
  mem_block m = func__memnew(16);
  EXPECT_NE(m.offset, 0);
  EXPECT_EQ(m.size, 16);
  EXPECT_EQ(m.type, mem_type_untyped);
  EXPECT_EQ(m.elementsize, 1);
  EXPECT_EQ(m.image, -1);
  ASSERT_NE(m.lock, nullptr);
  EXPECT_EQ(m.lock->type, mem_lock_owned);
  EXPECT_EQ(static_cast<uint64_t>(m.lock_id), m.lock->id);
  EXPECT_EQ(func__memexists(&m), -1);
  sub__memfree(&m);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(m.lock_id, mem_block_freed_id);
  EXPECT_EQ(func__memexists(&m), 0);

  // An empty block exists, has an address, and frees cleanly.
  mem_block empty = func__memnew(0);
  EXPECT_EQ(empty.offset, 1);
  EXPECT_EQ(empty.size, 0);
  EXPECT_EQ(empty.lock->type, mem_lock_plain);
  EXPECT_EQ(func__memexists(&empty), -1);
  sub__memfree(&empty);
  EXPECT_EQ(take_error(), 0u);

  mem_block negative = func__memnew(-1);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(negative.offset, 0);
  EXPECT_EQ(negative.size, 0);
  EXPECT_EQ(negative.lock->type, mem_lock_plain);

  mem_block at = func__mem_at_offset(1234, 10);
  EXPECT_EQ(at.offset, 1234);
  EXPECT_EQ(at.size, 10);
  EXPECT_EQ(at.type, mem_type_untyped);
  mem_block bad = func__mem_at_offset(1234, -1);
  EXPECT_EQ(take_error(), 301u);
  EXPECT_EQ(bad.offset, 0);
  EXPECT_EQ(bad.size, 0);
  EXPECT_EQ(bad.type, 0);
  new_error = 7;
  mem_block pending = func__mem_at_offset(1234, 10);
  EXPECT_EQ(pending.offset, 0);
  EXPECT_EQ(pending.size, 0);
  new_error = 0;
}

TEST_F(MemBlocks, FreeingTwiceOrNeverMadeIsRefusedAndReusedLocksNeverRevive) {
  mem_block m = func__memnew(8);
  mem_block copy = m;  // compiled code copies values
  sub__memfree(&m);
  sub__memfree(&m);
  EXPECT_EQ(take_error(), 307u);
  sub__memfree(&copy);  // its lock was released through the other copy
  EXPECT_EQ(take_error(), 307u);

  mem_block never{};
  EXPECT_EQ(func__memexists(&never), 0);
  sub__memfree(&never);
  EXPECT_EQ(take_error(), 309u);

  // The released lock is handed out again with a new id: the stale copy
  // still does not match it.
  mem_block next = func__memnew(8);
  EXPECT_EQ(next.lock, copy.lock);
  EXPECT_EQ(func__memexists(&copy), 0);
  EXPECT_EQ(func__memexists(&next), -1);
  sub__memfree(&next);
}

TEST_F(MemBlocks, GetReadsInsideTheBlockAndZerosFromOneScratchOtherwise) {
  guarded g(8);
  for (int i = 0; i < 8; ++i) g.bytes[static_cast<size_t>(guarded::guard + i)] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(func__memget(&g.m, g.m.offset, 8), reinterpret_cast<void*>(g.m.offset));
  EXPECT_EQ(func__memget(&g.m, g.m.offset + 4, 4), reinterpret_cast<void*>(g.m.offset + 4));
  EXPECT_EQ(func__memget(&g.m, g.m.offset + 8, 0), reinterpret_cast<void*>(g.m.offset + 8));
  EXPECT_EQ(take_error(), 0u);

  struct refused {
    const char* what;
    intptr_t offset, size;
  };
  const intptr_t o = g.m.offset;
  const refused cases[] = {
      {"past the end", o + 5, 4},
      {"before the start", o - 1, 4},
      {"longer than the block", o, 9},
      {"negative size, whose sum wraps back inside", o + 4, -4},
      {"offset far above", INTPTR_MAX, 4},
  };
  void* scratch = nullptr;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto* p = static_cast<uint8_t*>(func__memget(&g.m, c.offset, c.size));
    EXPECT_EQ(take_error(), 300u);
    if (c.size > 0 && c.size < 64) {
      for (intptr_t i = 0; i < c.size; ++i) EXPECT_EQ(p[i], 0);
      // A program writing through the scratch does not leak into the next
      // refused read.
      std::memset(p, 0x55, static_cast<size_t>(c.size));
    }
    if (!scratch) scratch = p;
    EXPECT_EQ(static_cast<void*>(p), scratch) << "one buffer serves every refused read";
  }

  mem_block never{};
  auto* p = static_cast<uint8_t*>(func__memget(&never, 0, 4));
  EXPECT_EQ(take_error(), 309u);
  EXPECT_EQ(p[0] | p[1] | p[2] | p[3], 0);
  const mem_block stale = freed_value(4);
  p = static_cast<uint8_t*>(func__memget(&stale, stale.offset, 4));
  EXPECT_EQ(take_error(), 308u);
  EXPECT_EQ(p[0] | p[1] | p[2] | p[3], 0);
  EXPECT_TRUE(g.guards_intact());
}

TEST_F(MemBlocks, FillRepeatsItsSourceAndChecksInOrder) {
  guarded g(8);
  const uint8_t source[] = {1, 2, 3};
  sub__memfill(&g.m, g.m.offset, 8, source, 3);
  EXPECT_EQ(take_error(), 0u);
  const uint8_t expected[] = {1, 2, 3, 1, 2, 3, 1, 2};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(g.at(i), expected[i]) << i;
  sub__memfill_2(&g.m, g.m.offset + 1, 5, int16_t{0x0A0B});
  const uint8_t typed[] = {1, 0x0B, 0x0A, 0x0B, 0x0A, 0x0B, 1, 2};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(g.at(i), typed[i]) << i;
  EXPECT_TRUE(g.guards_intact());

  // _FLOAT's source is 32 bytes: the value, then zeros.
  mem_block big = func__memnew(40);
  sub__memfill_FLOAT(&big, big.offset, 40, kx_float{1.5L});
  const auto* b = reinterpret_cast<const uint8_t*>(big.offset);
  kx_float back;
  std::memcpy(&back, b, sizeof back);
  EXPECT_EQ(back, 1.5L);
  for (int i = static_cast<int>(sizeof(kx_float)); i < 32; ++i) EXPECT_EQ(b[i], 0) << i;
  EXPECT_EQ(std::memcmp(b, b + 32, 8), 0);
  sub__memfree(&big);

  mem_block never{};
  const mem_block freed_copy = freed_value(8);
  const intptr_t o = g.m.offset;
  struct refused {
    const char* what;
    const mem_block* m;
    intptr_t offset, size, source_size;
    uint32_t error;
  };
  const refused cases[] = {
      {"never made, bad size too", &never, 0, -1, 0, 309},
      {"freed, bad size too", &freed_copy, freed_copy.offset, -1, 0, 308},
      {"negative size, out of range too", &g.m, o - 100, -1, 1, 301},
      {"empty source", &g.m, o, 4, 0, 301},
      {"past the end", &g.m, o + 4, 5, 1, 300},
      {"before the start", &g.m, o - 1, 2, 1, 300},
      {"size that wraps offset + size", &g.m, o, INT64_MAX, 1, 300},
      {"offset and size that wrap together", &g.m, o + 4, INT64_MAX - o, 1, 300},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sub__memfill(c.m, c.offset, c.size, source, c.source_size);
    EXPECT_EQ(take_error(), c.error);
  }
  for (int i = 0; i < 8; ++i) EXPECT_EQ(g.at(i), typed[i]) << "a refused fill wrote byte " << i;
  EXPECT_TRUE(g.guards_intact());
}

TEST_F(MemBlocks, CopyMovesOverlappingRangesAndReportsEachFailure) {
  guarded g(10);
  for (int i = 0; i < 10; ++i) g.bytes[static_cast<size_t>(guarded::guard + i)] = static_cast<uint8_t>(i);
  const intptr_t o = g.m.offset;
  sub__memcopy(&g.m, o, 6, &g.m, o + 2);  // forwards overlap
  EXPECT_EQ(take_error(), 0u);
  const uint8_t forward[] = {0, 1, 0, 1, 2, 3, 4, 5, 8, 9};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(g.at(i), forward[i]) << i;
  sub__memcopy(&g.m, o + 3, 7, &g.m, o);  // backwards overlap
  const uint8_t backward[] = {1, 2, 3, 4, 5, 8, 9, 5, 8, 9};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(g.at(i), backward[i]) << i;

  guarded other(4);
  mem_block never{};
  const mem_block stale = freed_value(4), stale2 = freed_value(4);
  const intptr_t p = other.m.offset;
  struct refused {
    const char* what;
    const mem_block *source, *dest;
    intptr_t source_offset, size, dest_offset;
    uint32_t error;
  };
  const refused cases[] = {
      {"neither made", &never, &never, 0, 1, 0, 312},
      {"source never made", &never, &stale, 0, 1, 0, 310},
      {"destination never made", &stale, &never, 0, 1, 0, 311},
      {"both freed", &stale, &stale2, stale.offset, -1, stale2.offset, 313},
      {"source freed", &stale, &other.m, stale.offset, -1, p, 305},
      {"destination freed", &other.m, &stale, p, -1, stale.offset, 306},
      {"negative size, both out too", &g.m, &other.m, 0, -1, 0, 301},
      {"both out", &g.m, &other.m, o + 8, 3, p + 2, 304},
      {"source out", &g.m, &other.m, o + 8, 3, p, 302},
      {"destination out", &g.m, &other.m, o, 3, p + 2, 303},
      {"size wraps both", &g.m, &other.m, o, INT64_MAX, p, 304},
      {"source offset wraps", &g.m, &other.m, INT64_MAX - 1, 3, p, 302},
      {"destination below", &g.m, &other.m, o, 3, p - 1, 303},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sub__memcopy(c.source, c.source_offset, c.size, c.dest, c.dest_offset);
    EXPECT_EQ(take_error(), c.error);
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(other.at(i), 0xEE) << "a refused copy wrote byte " << i;
  EXPECT_TRUE(g.guards_intact());
  EXPECT_TRUE(other.guards_intact());
}

TEST_F(MemBlocks, ValuesOfArraysAndFixedStringsDieWithTheirMemory) {
  // An array: the value covers its elements under the array's lock.
  int64_t* array = kx::static_array_new(1, 10, 4);
  auto* lock = reinterpret_cast<mem_lock*>(array[kx::array_lock_word(1)]);
  mem_block a = func__mem(array[kx::array_data_word], 40, 4 + 128, 4, lock);
  EXPECT_EQ(a.lock, lock);
  sub__memfill_4(&a, a.offset + 36, 4, int32_t{-2});
  EXPECT_EQ(reinterpret_cast<int32_t*>(array[kx::array_data_word])[9], -2);
  sub__memfill_4(&a, a.offset + 38, 4, 0);
  EXPECT_EQ(take_error(), 300u);
  // _MEMFREE leaves an array's lock alone: the array stays reachable.
  mem_block a_copy = a;
  sub__memfree(&a);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func__memexists(&a_copy), -1);
  // Erasing the array releases its lock; the old value is then refused.
  free_mem_lock(lock);
  EXPECT_EQ(func__memexists(&a_copy), 0);
  func__memget(&a_copy, a_copy.offset, 4);
  EXPECT_EQ(take_error(), 308u);

  // A fixed-length string of a procedure, under the procedure's scope lock.
  new_mem_lock();
  mem_lock* scope = mem_lock_tmp;
  scope->type = mem_lock_scope;
  uint8_t storage[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
  kxs* s = kxs_new_fixed(storage, 6, 0);
  mem_block m = func__mem(address(s->chars), s->length, 256, 1, scope);
  const char x = 'x';
  sub__memfill(&m, m.offset + 2, 2, &x, 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(storage), 6), "abxxef");
  sub__memfill(&m, m.offset + 5, 2, &x, 1);
  EXPECT_EQ(take_error(), 300u);
  EXPECT_EQ(storage[5], 'f');
  // The procedure ends: its scope lock goes, and with it every value of
  // its variables, even when the lock record is handed out again.
  free_mem_lock(scope);
  new_mem_lock();
  EXPECT_EQ(mem_lock_tmp, scope);
  EXPECT_EQ(func__memexists(&m), 0);
  sub__memfill(&m, m.offset, 1, &x, 1);
  EXPECT_EQ(take_error(), 308u);
  mem_block target = func__memnew(6);
  sub__memcopy(&m, m.offset, 6, &target, target.offset);
  EXPECT_EQ(take_error(), 305u);
  sub__memcopy(&target, target.offset, 6, &m, m.offset);
  EXPECT_EQ(take_error(), 306u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(storage), 6), "abxxef");
  sub__memfree(&target);
}
