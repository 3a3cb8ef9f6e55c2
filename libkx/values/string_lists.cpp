#include "values/string_lists.h"

#include "base/error_numbers.h"
#include "values/out_of_memory.h"

kx::growable_array<kxs*> kxs_list;
uint32_t kxs_list_lasti = 0;
uint32_t kxs_list_nexti = 0;
kx::growable_array<kxs*> kxs_cmem_list;
uint32_t kxs_cmem_list_lasti = 0;
uint32_t kxs_cmem_list_nexti = 0;
kx::growable_array<kxs*> kxs_tmp_list;
uint32_t kxs_tmp_list_lasti = 0;
uint32_t kxs_tmp_list_nexti = 1;

namespace {

// Slot numbers are 32-bit; a list that would need more cannot grow.
void double_list(kx::growable_array<kxs*>& slots, uint32_t& lasti, int32_t error_number) {
  const uint64_t doubled = uint64_t{lasti} * 2;
  if (doubled >= UINT32_MAX || !slots.resize(doubled + 1)) kx::out_of_memory(error_number);
  lasti = static_cast<uint32_t>(doubled);
}

void pack_list(kx::growable_array<kxs*>& slots, uint32_t& nexti, uint32_t& lasti, int32_t error_number) {
  uint32_t live = 0;
  for (uint32_t i = 0; i < nexti; ++i) {
    kxs* s = slots[i];
    if (kx::is_free_slot(s)) continue;
    slots[live] = s;
    s->pool_index = live++;
  }
  nexti = live;
  if (live >= lasti / 2) double_list(slots, lasti, error_number);
}

void make_list(kx::growable_array<kxs*>& slots, uint32_t& lasti, int32_t error_number) {
  slots.release();
  if (!slots.resize(uint64_t{kxs_list_initial_lasti} + 1)) kx::out_of_memory(error_number);
  lasti = kxs_list_initial_lasti;
}

}  // namespace

void kxs_concat_list() { pack_list(kxs_list, kxs_list_nexti, kxs_list_lasti, err::out_of_memory_string_list); }

void kxs_cmem_concat_list() {
  pack_list(kxs_cmem_list, kxs_cmem_list_nexti, kxs_cmem_list_lasti, err::out_of_memory_cmem_string_list);
}

void kxs_tmp_concat_list() { double_list(kxs_tmp_list, kxs_tmp_list_lasti, err::out_of_memory_temporary_list); }

namespace kx {

void string_lists_init() {
  make_list(kxs_list, kxs_list_lasti, err::out_of_memory_string_list);
  kxs_list_nexti = 0;
  make_list(kxs_cmem_list, kxs_cmem_list_lasti, err::out_of_memory_cmem_string_list);
  kxs_cmem_list_nexti = 0;
  make_list(kxs_tmp_list, kxs_tmp_list_lasti, err::out_of_memory_temporary_list);  // zero-filled: slot 0 stays 0
  kxs_tmp_list_nexti = 1;
}

}  // namespace kx
