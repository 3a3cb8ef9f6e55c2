#pragma once
// The array descriptor through which compiled code and the runtime see every
// array: 64-bit words, 4 + 4 * d + 1 of them for d dimensions.
//   word 0: address of element 0; word 2: flags;
//   words 4k..4k+3, k = 1..d: lower bound, element count, multiplier,
//   reserved, for dimension d - k + 1 (the last dimension first);
//   word 4 + 4d: the array's mem_lock.
#include <cstdint>

#include "base/error.h"

inline constexpr int64_t array_dimensioned = 1;  // bounds and data are valid
inline constexpr int64_t array_static = 2;       // kept for the program's life
inline constexpr int64_t array_in_cmem = 4;      // data is a cmem_dynamic block

// Bounds of an erased dynamic array.
inline constexpr int64_t array_erased_lower_bound = 2147483647;

namespace kx {

inline constexpr int array_data_word = 0;
inline constexpr int array_flags_word = 2;

constexpr int array_descriptor_words(int dimensions) { return 4 + 4 * dimensions + 1; }
// Word of the lower bound of block k (dimension d - k + 1).
constexpr int array_block_word(int k) { return 4 * k; }
constexpr int array_lock_word(int dimensions) { return 4 + 4 * dimensions; }

// A one-dimensional static array of the main program, as compiled code sets
// it up: descriptor and zero-filled data from the static pool, an array lock,
// flags "dimensioned, static". An upper bound below lower - 1 raises error 9
// and leaves the array erased; data too large for the static pool is
// critical error 504.
int64_t* static_array_new(int64_t lower, int64_t upper, uint32_t element_bytes);

// Puts a d-dimensional descriptor in the erased state (data released by the
// caller): flags bit 0 clear, erased bounds, data at nothingvalue.
void array_set_erased(int64_t* array, int dimensions);

}  // namespace kx

// Bounds check. Compiled code passes index - lower bound and the element
// count as unsigned values, so an index below the bound wraps to a huge
// offset. Out of range: error 9 and offset 0, so the access that follows
// stays inside the array.
inline uint64_t array_check(uint64_t offset, uint64_t count) {
  if (offset < count) return offset;
  error(err::subscript_out_of_range);
  return 0;
}

// LBOUND and UBOUND: error 9 and 0 for a bad dimension or an array that is
// not dimensioned.
int64_t func_lbound(const int64_t* array, int32_t dimension, int32_t dimensions);
int64_t func_ubound(const int64_t* array, int32_t dimension, int32_t dimensions);
