#include "values/arrays.h"

#include <cstdint>
#include <cstring>

#include "base/error_numbers.h"
#include "values/mem_lock.h"
#include "values/out_of_memory.h"
#include "values/static_pool.h"
#include "values/string_startup.h"

namespace {

// The descriptor block of a dimension, or null after raising error 9.
const int64_t* dimension_block(const int64_t* array, int32_t dimension, int32_t dimensions) {
  if (dimension < 1 || dimensions < dimension || !(array[kx::array_flags_word] & array_dimensioned)) {
    error(err::subscript_out_of_range);
    return nullptr;
  }
  return array + kx::array_block_word(dimensions - dimension + 1);
}

}  // namespace

int64_t func_lbound(const int64_t* array, int32_t dimension, int32_t dimensions) {
  const int64_t* block = dimension_block(array, dimension, dimensions);
  return block ? block[0] : 0;
}

int64_t func_ubound(const int64_t* array, int32_t dimension, int32_t dimensions) {
  const int64_t* block = dimension_block(array, dimension, dimensions);
  return block ? block[0] + block[1] - 1 : 0;
}

namespace kx {

int64_t* static_array_new(int64_t lower, int64_t upper, uint32_t element_bytes) {
  constexpr int dimensions = 1;
  auto* array = reinterpret_cast<int64_t*>(mem_static_malloc(array_descriptor_words(dimensions) * 8));
  std::memset(array, 0, array_descriptor_words(dimensions) * 8);
  new_mem_lock();
  mem_lock_tmp->type = mem_lock_array;
  array[array_lock_word(dimensions)] = reinterpret_cast<int64_t>(mem_lock_tmp);
  const __int128 wide_count = static_cast<__int128>(upper) - lower + 1;
  if (wide_count < 0) {
    // Bounds the wrong way round: no storage, and every index is refused.
    error(err::subscript_out_of_range);
    array_set_erased(array, dimensions);
    return array;
  }
  // The descriptor must never claim more elements than have storage: a size
  // that does not fit the pool's 32-bit requests is more than it can give.
  if (wide_count > UINT32_MAX || (element_bytes != 0 && wide_count > UINT32_MAX / element_bytes))
    out_of_memory(err::out_of_memory_static_pool);
  const auto count = static_cast<int64_t>(wide_count);
  const auto bytes = static_cast<uint32_t>(count * element_bytes);
  int64_t* block = array + array_block_word(1);
  block[0] = lower;
  block[1] = count;
  block[2] = 1;
  uint8_t* data = mem_static_malloc(bytes);
  std::memset(data, 0, bytes);
  array[array_data_word] = reinterpret_cast<int64_t>(data);
  array[array_flags_word] = array_dimensioned | array_static;
  return array;
}

void array_set_erased(int64_t* array, int dimensions) {
  array[array_flags_word] &= ~array_dimensioned;
  for (int k = 1; k <= dimensions; ++k) {
    int64_t* block = array + array_block_word(k);
    block[0] = array_erased_lower_bound;
    block[1] = 0;
    block[2] = 0;
  }
  array[array_data_word] = reinterpret_cast<int64_t>(nothingvalue);
}

}  // namespace kx
