#include "values/string_create.h"

#include <cstring>

#include "base/error_numbers.h"
#include "values/conventional_memory.h"
#include "values/string_lists.h"
#include "values/string_pools.h"

kxs* kx::string_new_slow(uint64_t n, uint8_t tmp) {
  if (kxs_sp + n + kxs_slack > kxs_data_size) kxs_concat(static_cast<uint32_t>(n + kxs_slack));
  kxs* s = descriptor_take();
  if (kxs_list_nexti > kxs_list_lasti) kxs_concat_list();
  if (tmp && kxs_tmp_list_nexti > kxs_tmp_list_lasti) kxs_tmp_concat_list();
  return string_place(s, n, tmp, kxs_sp, kxs_list_nexti, kxs_tmp_list_nexti);
}

kxs* kxs_new_cmem(int32_t size, uint8_t tmp) {
  const uint64_t n = size > 0 ? static_cast<uint64_t>(size) : 0;
  if (kxs_cmem_sp + n > cmem_sp) kxs_concat_cmem(static_cast<uint32_t>(n));
  kxs* s = kxs_new_descriptor();
  s->length = static_cast<int32_t>(n);
  s->chars = dblock + kxs_cmem_sp;
  kxs_cmem_sp += static_cast<uint32_t>(n);
  s->in_conventional = 1;
  kx::cmem_list_append(s);
  if (tmp)
    kx::tmp_list_append(s);
  else
    kx::legacy_descriptor_attach(s, err::out_of_memory_legacy_descriptor);
  return s;
}

kxs* kxs_new_txt(const char* text) {
  return kxs_new_txt_len(text, text ? static_cast<int32_t>(std::strlen(text)) : 0);
}

kxs* kxs_new_fixed(uint8_t* storage, uint32_t length, uint8_t tmp) {
  kxs* s = kxs_new_descriptor();
  s->length = static_cast<int32_t>(length);
  s->chars = storage;
  s->is_fixed = 1;
  if (tmp) {
    kx::tmp_list_append(s);
    return s;
  }
  const auto at = reinterpret_cast<uintptr_t>(storage);
  const auto segment = reinterpret_cast<uintptr_t>(dblock);
  if (at > segment && at < segment + dblock_size) {
    kx::legacy_descriptor_attach(s, err::out_of_memory_fixed_legacy_descriptor);
  }
  return s;
}

kxs* kxs_maketmp(kxs* s) {
  // Listing a string twice would sweep it twice.
  if (!s->is_temp) kx::tmp_list_append(s);
  return s;
}
