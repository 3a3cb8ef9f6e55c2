#include <gtest/gtest.h>

#include <cstring>

#include "fresh_memory.h"
#include "values/byte_element.h"
#include "values/static_pool.h"

using static_pool = fresh_memory;

TEST_F(static_pool, AllocationsAdvanceInStepsOfEight) {
  uint8_t* start = mem_static_pointer;
  EXPECT_EQ(mem_static_malloc(1), start);
  EXPECT_EQ(mem_static_pointer, start + 8);
  EXPECT_EQ(mem_static_malloc(12), start + 8);
  EXPECT_EQ(mem_static_pointer, start + 24);
  EXPECT_EQ(mem_static_malloc(16), start + 24);
  EXPECT_EQ(mem_static_pointer, start + 40);
  EXPECT_EQ(mem_static_size, 1048576u);
  EXPECT_EQ(mem_static_limit - mem_static, 1048576);
}

TEST_F(static_pool, FullBlockIsReplacedAndOldDataStays) {
  uint8_t* first_block = mem_static;
  uint8_t* kept = mem_static_malloc(64);
  std::memset(kept, 0x5A, 64);
  uint8_t* saved = mem_static_pointer;

  // Exactly what is left: the pointer would reach the limit, so a new block
  // of size + 2 * old size is made and the allocation comes from its start.
  const auto left = static_cast<uint32_t>(mem_static_limit - mem_static_pointer);
  uint8_t* big = mem_static_malloc(left);
  EXPECT_NE(mem_static, first_block);
  EXPECT_EQ(big, mem_static);
  EXPECT_EQ(mem_static_size, left + 2 * 1048576u);
  EXPECT_EQ(mem_static_pointer, mem_static + left);
  EXPECT_EQ(mem_static_limit, mem_static + mem_static_size);
  std::memset(big, 1, left);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(kept[i], 0x5A);  // old block still allocated

  // A pointer from the replaced block resets to the start of the new one.
  mem_static_restore(saved);
  EXPECT_EQ(mem_static_pointer, mem_static);
  uint8_t* inside = mem_static + 80;
  mem_static_restore(inside);
  EXPECT_EQ(mem_static_pointer, inside);
  mem_static_restore(mem_static_limit);
  EXPECT_EQ(mem_static_pointer, mem_static_limit);
  // At the limit the next allocation takes the slow path rather than
  // handing out bytes past the block.
  uint8_t* after = mem_static_malloc(8);
  EXPECT_GE(after, mem_static);
  EXPECT_LE(after + 8, mem_static_limit);
}

TEST_F(static_pool, ByteElementRecords) {
  uint8_t* start = mem_static_pointer;
  byte_element_struct* e = byte_element(0x123456789ABCull, 40);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(e), start);
  EXPECT_EQ(mem_static_pointer, start + 16);  // 12 bytes, rounded to 8
  EXPECT_EQ(e->address, 0x123456789ABCull);
  EXPECT_EQ(e->length, 40);
  EXPECT_EQ(byte_element(1, -5)->length, 0);

  byte_element_struct mine{};
  EXPECT_EQ(byte_element(77, 3, &mine), &mine);
  EXPECT_EQ(mine.address, 77u);
  EXPECT_EQ(mine.length, 3);
  EXPECT_EQ(byte_element(77, -1, &mine)->length, 0);
}
