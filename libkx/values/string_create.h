#pragma once
// Making strings. A "tmp" flag counts only by its low byte; a temporary is
// listed on kxs_tmp_list and swept by kxs_cleanup after the statement.
#include <cstdint>

#include "values/string_descriptor.h"
#include "values/string_lists.h"
#include "values/string_pools.h"

// size uninitialised bytes in the main pool (negative sizes count as 0).
// Inline: most statements make one.
inline kxs* kxs_new(int32_t size, uint8_t tmp) {
  const uint64_t n = size > 0 ? static_cast<uint64_t>(size) : 0;
  if (kxs_sp + n + kxs_slack > kxs_data_size) kxs_concat(static_cast<uint32_t>(n + kxs_slack));
  if (kxs_list_nexti > kxs_list_lasti) kxs_concat_list();
  if (tmp && kxs_tmp_list_nexti > kxs_tmp_list_lasti) kxs_tmp_concat_list();
  kxs value{};
  value.chars = kxs_data + kxs_sp;
  value.length = static_cast<int32_t>(n);
  value.pool_index = kxs_list_nexti;
  if (tmp) {
    value.is_temp = 1;
    value.temp_index = kxs_tmp_list_nexti;
  }
  kxs* s = kx::descriptor_take();
  kxs_sp += n + kxs_slack;
  kxs_list[kxs_list_nexti++] = s;
  if (tmp) kxs_tmp_list[kxs_tmp_list_nexti++] = s;
  return kx::descriptor_fill(s, value);
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
