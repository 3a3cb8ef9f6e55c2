#pragma once
// Releasing strings, one by one or as a statement's temporaries.
#include <algorithm>
#include <cstdint>

#include "values/string_descriptor.h"
#include "values/string_lists.h"
#include "values/string_pools.h"

namespace kx {

void field_link_release(kxs* s);

// The main pool's list end walks down over free slots, and the fill level
// returns to the end of the last live string plus its slack (or the room
// that s = s + x keeps after it).
void main_slot_release(const kxs* s);

// The conventional list end steps down by one only.
inline void cmem_slot_release(const kxs* s) {
  kxs_cmem_list[s->pool_index] = free_slot();
  if (s->pool_index + 1 == kxs_cmem_list_nexti) --kxs_cmem_list_nexti;
}

// Walks the temporary list's end down over free slots, also past a sweep's
// mark. Slot 0 holds 0, not the marker, and stops the walk.
inline void temp_end_walk() {
  while (is_free_slot(kxs_tmp_list[kxs_tmp_list_nexti - 1])) --kxs_tmp_list_nexti;
}

// Marks a temporary slot free and walks the list end down.
inline void temp_slot_release(uint32_t slot) {
  kxs_tmp_list[slot] = free_slot();
  temp_end_walk();
}

// Frees every temporary at or above mark (never slot 0).
void sweep_temporaries(uint32_t mark);

}  // namespace kx

// Releases the descriptor, its temporary slot and its pool slot. Inline:
// every statement frees its temporaries.
inline void kxs_free(kxs* s) {
  if (s->field_link) kx::field_link_release(s);
  if (s->temp_index) kx::temp_slot_release(s->temp_index);
  if (!s->is_fixed && !s->is_readonly) {
    if (s->in_conventional)
      kx::cmem_slot_release(s);
    else
      kx::main_slot_release(s);
  }
  kxs_free_descriptor(s);
}

// Sweeps the temporaries of a statement and passes value through unchanged,
// so compiled code can wrap a condition or result that used temporaries.
template <class T>
T kxs_cleanup(uint32_t mark, T value) {
  if (kxs_tmp_list_nexti > mark) kx::sweep_temporaries(mark);
  return value;
}
