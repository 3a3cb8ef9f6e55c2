#pragma once
// Making strings. A "tmp" flag counts only by its low byte; a temporary is
// listed on kxs_tmp_list and swept by kxs_cleanup after the statement.
#include <cstdint>

#include "values/string_descriptor.h"
#include "values/string_lists.h"
#include "values/string_pools.h"

namespace kx {

// The descriptor, list and pool work of kxs_new once there is room for it.
// The fill level and the list ends come in as sp, slot and temp, read before
// any store: as far as the compiler knows a store through a descriptor
// pointer may change any global, which it would then read again.
inline kxs* string_place(kxs* s, uint64_t n, uint8_t tmp, uint64_t sp, uint32_t slot, uint32_t temp) {
  kxs value{};
  value.chars = kxs_data + sp;
  value.length = static_cast<int32_t>(n);
  value.pool_index = slot;
  kxs_sp = sp + n + kxs_slack;
  kxs_list[slot] = s;
  kxs_list_nexti = slot + 1;
  if (tmp) {
    value.is_temp = 1;
    value.temp_index = temp;
    kxs_tmp_list[temp] = s;
    kxs_tmp_list_nexti = temp + 1;
  }
  return descriptor_fill(s, value);
}

// kxs_new when the pool, a list or the descriptor free stack needs work
// first: compaction, list growth, a descriptor from the current block.
kxs* string_new_slow(uint64_t n, uint8_t tmp);

}  // namespace kx

// size uninitialised bytes in the main pool (negative sizes count as 0).
// Inline: most statements make one. Every limit is checked first and any
// work they call for is left to the out-of-line path, so the common case
// reads each global once; each test is a compare fused with its branch,
// which costs less than folding the tests into one.
[[gnu::always_inline]] inline kxs* kxs_new(int32_t size, uint8_t tmp) {
  const uint64_t n = size > 0 ? static_cast<uint64_t>(size) : 0;
  const uint64_t sp = kxs_sp;
  const uint32_t slot = kxs_list_nexti;
  const uint32_t temp = kxs_tmp_list_nexti;
  const uint64_t freed = kxs_malloc_freed_num;
  if (sp + n + kxs_slack > kxs_data_size || slot > kxs_list_lasti || (tmp && temp > kxs_tmp_list_lasti) || !freed)
      [[unlikely]]
    return kx::string_new_slow(n, tmp);
  kxs* s = kxs_malloc_freed[freed - 1];
  kxs_malloc_freed_num = freed - 1;
  return kx::string_place(s, n, tmp, sp, slot, temp);
}
// size uninitialised bytes in the conventional pool; a permanent one gets a
// legacy descriptor (error 514 when there is no room for it).
kxs* kxs_new_cmem(int32_t size, uint8_t tmp);
// Temporary read-only strings over constant text, not copied.
// Compiled code passes every literal this way.
inline kxs* kxs_new_txt_len(const void* bytes, int32_t length) {
  if (kxs_tmp_list_nexti > kxs_tmp_list_lasti) kxs_tmp_concat_list();
  kxs value{};
  // The text is never written: is_readonly guards every change.
  value.chars = static_cast<uint8_t*>(const_cast<void*>(bytes));
  value.length = length > 0 ? length : 0;
  value.is_temp = 1;
  value.temp_index = kxs_tmp_list_nexti;
  value.is_readonly = 1;
  // The list entry is stored first: the statement's next operation reads the
  // new descriptor, and nothing may come between its fill and that read.
  kxs* s = kx::descriptor_take();
  kxs_tmp_list[kxs_tmp_list_nexti++] = s;
  return kx::descriptor_fill(s, value);
}
kxs* kxs_new_txt(const char* text);
// A fixed-length string over a variable's storage. A permanent one whose
// storage lies inside the data segment gets a legacy descriptor (error 515).
kxs* kxs_new_fixed(uint8_t* storage, uint32_t length, uint8_t tmp);
// The same string, now temporary (a string FUNCTION's result).
kxs* kxs_maketmp(kxs* s);
