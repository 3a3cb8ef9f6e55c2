#include "values/string_release.h"

#include <algorithm>

#include "values/string_lists.h"
#include "values/string_pools.h"

void kxs_free(kxs* s) {
  if (s->field_link) {
    if (kxs_field_link_detach) kxs_field_link_detach(s);
    s->field_link = nullptr;
  }
  if (s->temp_index) {
    kxs_tmp_list[s->temp_index] = kx::free_slot();
    // Slot 0 holds 0, not the marker, and stops this walk.
    while (kx::is_free_slot(kxs_tmp_list[kxs_tmp_list_nexti - 1])) --kxs_tmp_list_nexti;
  }
  if (!s->is_fixed && !s->is_readonly) {
    if (s->in_conventional) {
      kxs_cmem_list[s->pool_index] = kx::free_slot();
      if (s->pool_index + 1 == kxs_cmem_list_nexti) --kxs_cmem_list_nexti;
    } else {
      kxs_list[s->pool_index] = kx::free_slot();
      while (kxs_list_nexti > 0 && kx::is_free_slot(kxs_list[kxs_list_nexti - 1])) --kxs_list_nexti;
      if (kxs_list_nexti) {
        const kxs* last = kxs_list[kxs_list_nexti - 1];
        const uint64_t end = static_cast<uint64_t>(last->chars - kxs_data) + static_cast<uint64_t>(last->length);
        kxs_sp = std::min(end + kxs_slack, kxs_data_size);
      } else {
        kxs_sp = 0;
      }
    }
  }
  kxs_free_descriptor(s);
}

namespace kx {

void sweep_temporaries(uint32_t mark) {
  if (mark < 1) mark = 1;  // slot 0 is never a temporary
  while (kxs_tmp_list_nexti > mark) {
    kxs* s = kxs_tmp_list[--kxs_tmp_list_nexti];
    if (!is_free_slot(s)) kxs_free(s);
  }
}

}  // namespace kx
