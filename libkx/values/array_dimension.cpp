#include "values/array_dimension.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "values/arrays.h"
#include "values/mem_lock.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

int64_t* block_of(int64_t* array, int dimensions, int dimension) {
  return array + kx::array_block_word(dimensions - dimension + 1);
}
const int64_t* block_of(const int64_t* array, int dimensions, int dimension) {
  return array + kx::array_block_word(dimensions - dimension + 1);
}

uint8_t* data_of(const int64_t* array) { return reinterpret_cast<uint8_t*>(array[kx::array_data_word]); }

bool dimensioned(const int64_t* array) { return (array[kx::array_flags_word] & array_dimensioned) != 0; }

uint64_t element_count(const int64_t* array, int dimensions) {
  uint64_t count = 1;
  for (int d = 1; d <= dimensions; ++d) count *= static_cast<uint64_t>(block_of(array, dimensions, d)[1]);
  return count;
}

void release_strings(uint8_t* data, uint64_t count) {
  auto** strings = reinterpret_cast<kxs**>(data);
  for (uint64_t i = 0; i < count; ++i) {
    if (strings[i]) kxs_free(strings[i]);
  }
}

void fill_strings(uint8_t* data, uint64_t count) {
  auto** strings = reinterpret_cast<kxs**>(data);
  for (uint64_t i = 0; i < count; ++i) strings[i] = kxs_new(0, 0);
}

// Counts and multipliers for the bounds, or false after error 9 or 7.
bool layout(int dimensions, const int64_t* lower, const int64_t* upper, uint32_t element_bytes,
            std::vector<int64_t>* counts, uint64_t* total) {
  counts->assign(static_cast<size_t>(dimensions), 0);
  unsigned __int128 elements = 1;
  for (int d = 0; d < dimensions; ++d) {
    const __int128 count = static_cast<__int128>(upper[d]) - lower[d] + 1;
    if (count < 0) {
      error(err::subscript_out_of_range);
      return false;
    }
    (*counts)[static_cast<size_t>(d)] = static_cast<int64_t>(count);
    elements *= static_cast<unsigned __int128>(count);
    if (elements * (element_bytes ? element_bytes : 1) > (unsigned __int128)INT64_MAX) {
      error(err::out_of_memory);
      return false;
    }
  }
  *total = static_cast<uint64_t>(elements);
  return true;
}

// New storage gets a lock of its own, so a _MEM value of the storage it
// replaces is refused from now on.
void release_lock(int64_t* array, int dimensions) {
  int64_t& word = array[kx::array_lock_word(dimensions)];
  if (word) free_mem_lock(reinterpret_cast<mem_lock*>(word));
  word = 0;
}

void renew_lock(int64_t* array, int dimensions) {
  release_lock(array, dimensions);
  new_mem_lock();
  mem_lock_tmp->type = mem_lock_array;
  array[kx::array_lock_word(dimensions)] = reinterpret_cast<int64_t>(mem_lock_tmp);
}

void install(int64_t* array, int dimensions, const int64_t* lower, const std::vector<int64_t>& counts,
             uint8_t* data, bool is_static) {
  int64_t multiplier = 1;
  for (int d = 1; d <= dimensions; ++d) {
    int64_t* block = block_of(array, dimensions, d);
    block[0] = lower[d - 1];
    block[1] = counts[static_cast<size_t>(d - 1)];
    block[2] = multiplier;
    multiplier *= counts[static_cast<size_t>(d - 1)];
  }
  array[kx::array_data_word] = reinterpret_cast<int64_t>(data);
  array[kx::array_flags_word] = array_dimensioned | (is_static ? array_static : 0);
  array[kx::array_dimensions_word] = dimensions;
  renew_lock(array, dimensions);
}

uint8_t* allocate(uint64_t total, uint32_t element_bytes) {
  // One byte at least, so an empty array still has an address of its own.
  void* data = std::calloc(std::max<uint64_t>(total * element_bytes, 1), 1);
  if (!data) error(err::out_of_memory);
  return static_cast<uint8_t*>(data);
}

}  // namespace

namespace kx {

void array_dim(int64_t* array, int dimensions, const int64_t* lower, const int64_t* upper,
               uint32_t element_bytes, array_elements elements, bool is_static) {
  if (new_error.load()) return;
  if (dimensioned(array)) {
    error(err::duplicate_definition);
    return;
  }
  std::vector<int64_t> counts;
  uint64_t total = 0;
  if (!layout(dimensions, lower, upper, element_bytes, &counts, &total)) return;
  uint8_t* data = allocate(total, element_bytes);
  if (!data) return;
  if (elements == array_elements::strings) fill_strings(data, total);
  install(array, dimensions, lower, counts, data, is_static);
}

void array_redim(int64_t* array, int dimensions, const int64_t* lower, const int64_t* upper,
                 uint32_t element_bytes, array_elements elements, bool preserve) {
  if (new_error.load()) return;
  if (array[array_flags_word] & array_static) {
    error(err::duplicate_definition);
    return;
  }
  std::vector<int64_t> counts;
  uint64_t total = 0;
  if (!layout(dimensions, lower, upper, element_bytes, &counts, &total)) return;
  uint8_t* data = allocate(total, element_bytes);
  if (!data) return;
  uint8_t* old = dimensioned(array) ? data_of(array) : nullptr;
  if (old && preserve) {
    // Every new element whose indexes the old array also has takes its value.
    const uint64_t old_total = element_count(array, dimensions);
    std::vector<uint8_t> moved(old_total, 0);
    std::vector<int64_t> index(lower, lower + dimensions);
    for (uint64_t n = 0; n < total; ++n) {
      bool inside = true;
      uint64_t old_offset = 0;
      for (int d = 1; d <= dimensions && inside; ++d) {
        const int64_t* block = block_of(array, dimensions, d);
        const int64_t at = index[static_cast<size_t>(d - 1)] - block[0];
        inside = at >= 0 && at < block[1];
        old_offset += static_cast<uint64_t>(at) * static_cast<uint64_t>(block[2]);
      }
      if (inside) {
        std::memcpy(data + n * element_bytes, old + old_offset * element_bytes, element_bytes);
        moved[old_offset] = 1;
      } else if (elements == array_elements::strings) {
        reinterpret_cast<kxs**>(data)[n] = kxs_new(0, 0);
      }
      for (int d = 0; d < dimensions; ++d) {  // the next index, dimension 1 fastest
        if (++index[static_cast<size_t>(d)] <= upper[d]) break;
        index[static_cast<size_t>(d)] = lower[d];
      }
    }
    if (elements == array_elements::strings) {
      auto** strings = reinterpret_cast<kxs**>(old);
      for (uint64_t i = 0; i < old_total; ++i) {
        if (!moved[i] && strings[i]) kxs_free(strings[i]);
      }
    }
    std::free(old);
  } else {
    if (old) {
      if (elements == array_elements::strings) release_strings(old, element_count(array, dimensions));
      std::free(old);
    }
    if (elements == array_elements::strings) fill_strings(data, total);
  }
  install(array, dimensions, lower, counts, data, false);
}

void array_erase(int64_t* array, int dimensions, uint32_t element_bytes, array_elements elements) {
  if (new_error.load()) return;
  if (!dimensioned(array)) return;
  const uint64_t total = element_count(array, dimensions);
  uint8_t* data = data_of(array);
  if (array[array_flags_word] & array_static) {
    if (elements == array_elements::strings) {
      auto** strings = reinterpret_cast<kxs**>(data);
      for (uint64_t i = 0; i < total; ++i) kxs_set(strings[i], kxs_new(0, 1));
    } else {
      std::memset(data, 0, total * element_bytes);
    }
    return;
  }
  if (elements == array_elements::strings) release_strings(data, total);
  std::free(data);
  release_lock(array, dimensions);
  array_set_erased(array, dimensions);
}

uint64_t array_offset(const int64_t* array, int dimensions, const int64_t* indexes) {
  if (!dimensioned(array)) {
    error(err::subscript_out_of_range);
    return 0;
  }
  uint64_t offset = 0;
  for (int d = 1; d <= dimensions; ++d) {
    const int64_t* block = block_of(array, dimensions, d);
    const uint64_t at = static_cast<uint64_t>(indexes[d - 1] - block[0]);
    if (at >= static_cast<uint64_t>(block[1])) {
      error(err::subscript_out_of_range);
      return 0;
    }
    offset += at * static_cast<uint64_t>(block[2]);
  }
  return offset;
}

}  // namespace kx
