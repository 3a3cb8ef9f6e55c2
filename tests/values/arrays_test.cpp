#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "fresh_memory.h"
#include "values/arrays.h"
#include "values/mem_lock.h"
#include "values/static_pool.h"

using arrays = fresh_memory;

TEST_F(arrays, BoundsCheckWrapsIndexesBelowTheLowerBound) {
  const int64_t lower = 1;
  const uint64_t count = 10;
  for (int64_t index = 1; index <= 10; ++index) {
    EXPECT_EQ(array_check(static_cast<uint64_t>(index - lower), count), static_cast<uint64_t>(index - lower));
  }
  EXPECT_EQ(new_error, 0u);
  EXPECT_EQ(array_check(static_cast<uint64_t>(0 - lower), count), 0u);
  EXPECT_EQ(new_error, 9u);
  new_error = 0;
  EXPECT_EQ(array_check(static_cast<uint64_t>(11 - lower), count), 0u);
  EXPECT_EQ(new_error, 9u);
  new_error = 0;
  EXPECT_EQ(array_check(0, 0), 0u);  // an erased array has no elements
  EXPECT_EQ(new_error, 9u);
}

TEST_F(arrays, LboundAndUboundReadTheRightDimensionBlock) {
  // DIM a(1 TO 10, -5 TO 5): the last dimension's block comes first.
  int64_t a[kx::array_descriptor_words(2)] = {};
  a[kx::array_flags_word] = array_dimensioned;
  a[4] = -5;   // dimension 2
  a[5] = 11;
  a[8] = 1;    // dimension 1
  a[9] = 10;
  EXPECT_EQ(func_lbound(a, 2, 2), -5);
  EXPECT_EQ(func_ubound(a, 2, 2), 5);
  EXPECT_EQ(func_lbound(a, 1, 2), 1);
  EXPECT_EQ(func_ubound(a, 1, 2), 10);
  EXPECT_EQ(new_error, 0u);

  for (auto [dimension, dimensions] : {std::pair{0, 2}, {3, 2}, {-1, 2}, {2, 1}}) {
    new_error = 0;
    EXPECT_EQ(func_lbound(a, dimension, dimensions), 0);
    EXPECT_EQ(new_error, 9u);
    new_error = 0;
    EXPECT_EQ(func_ubound(a, dimension, dimensions), 0);
    EXPECT_EQ(new_error, 9u);
  }

  new_error = 0;
  kx::array_set_erased(a, 2);
  EXPECT_EQ(func_ubound(a, 1, 2), 0);
  EXPECT_EQ(new_error, 9u);
  EXPECT_EQ(a[4], 2147483647);
  EXPECT_EQ(a[5], 0);
  EXPECT_EQ(a[8], 2147483647);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(a[kx::array_data_word]), nothingvalue);
}

TEST_F(arrays, StaticArraySetUp) {
  new_mem_lock();  // so the array's lock is not the first
  const uint64_t previous_id = mem_lock_id;
  int64_t* a = kx::static_array_new(3, 12, 4);
  EXPECT_EQ(a[kx::array_flags_word], array_dimensioned | array_static);
  EXPECT_EQ(func_lbound(a, 1, 1), 3);
  EXPECT_EQ(func_ubound(a, 1, 1), 12);
  EXPECT_EQ(a[6], 1);  // multiplier
  auto* lock = reinterpret_cast<mem_lock*>(a[kx::array_lock_word(1)]);
  EXPECT_EQ(lock->type, mem_lock_array);
  EXPECT_EQ(lock->id, previous_id + 1);
  auto* data = reinterpret_cast<int32_t*>(a[kx::array_data_word]);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(data[i], 0);
  EXPECT_GE(reinterpret_cast<uint8_t*>(data), mem_static);
  EXPECT_LE(reinterpret_cast<uint8_t*>(data + 10), mem_static_pointer);
}

// The descriptor never claims elements without storage: bounds the wrong way
// round raise error 9 and leave the array erased, with every index refused;
// an empty range (upper = lower - 1) is a valid array of no elements.
TEST_F(arrays, StaticArrayBoundsTheWrongWayRoundLeaveItErased) {
  const uint8_t* before = mem_static_pointer;
  int64_t* empty = kx::static_array_new(5, 4, 8);
  EXPECT_EQ(new_error, 0u);
  EXPECT_EQ(empty[kx::array_block_word(1) + 1], 0);  // no elements
  EXPECT_TRUE(empty[kx::array_flags_word] & array_dimensioned);

  for (const auto& [lower, upper] : {std::pair<int64_t, int64_t>{5, 3}, {INT64_MAX, INT64_MIN}}) {
    new_error = 0;
    int64_t* wrong = kx::static_array_new(lower, upper, 8);
    EXPECT_EQ(new_error, 9u);
    new_error = 0;
    EXPECT_FALSE(wrong[kx::array_flags_word] & array_dimensioned);
    EXPECT_EQ(wrong[kx::array_block_word(1) + 1], 0);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(wrong[kx::array_data_word]), nothingvalue);
    array_check(0, static_cast<uint64_t>(wrong[kx::array_block_word(1) + 1]));
    EXPECT_EQ(new_error, 9u);
  }
  new_error = 0;
  // Only the descriptors came from the pool.
  EXPECT_EQ(static_cast<uint64_t>(mem_static_pointer - before), 3 * kx::array_descriptor_words(1) * 8u);
}
