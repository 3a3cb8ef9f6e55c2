#pragma once
// The three descriptor lists. kxs_list and kxs_cmem_list hold every live
// string of their pool; their live entries in slot order have strictly
// ascending chars, so a string's upper neighbour is the next live slot.
// kxs_tmp_list holds the temporaries; its slot 0 is never used and holds 0,
// which stops every downward scan.
#include <cstdint>

#include "values/growable_array.h"
#include "values/string_descriptor.h"

inline constexpr uint32_t kxs_list_initial_lasti = 65535;

extern kx::growable_array<kxs*> kxs_list;
extern uint32_t kxs_list_lasti;
extern uint32_t kxs_list_nexti;  // slots in use
extern kx::growable_array<kxs*> kxs_cmem_list;
extern uint32_t kxs_cmem_list_lasti;
extern uint32_t kxs_cmem_list_nexti;
extern kx::growable_array<kxs*> kxs_tmp_list;
extern uint32_t kxs_tmp_list_lasti;
extern uint32_t kxs_tmp_list_nexti;

// Pack the live slots of a pool list to the front (keeping their order and
// renumbering pool_index) and double the list when it stays at least half
// full. Errors 510 (main) and 509 (conventional).
void kxs_concat_list();
void kxs_cmem_concat_list();
// Temporary slots are referenced by position: never packed, only doubled.
// Error 511.
void kxs_tmp_concat_list();

namespace kx {

// A free slot holds a value with all bits set; slot 0 of the temporary list
// holds 0, which is never the marker.
inline constexpr uintptr_t free_slot_marker = UINTPTR_MAX;
inline kxs* free_slot() { return reinterpret_cast<kxs*>(free_slot_marker); }
inline bool is_free_slot(const kxs* s) { return reinterpret_cast<uintptr_t>(s) == free_slot_marker; }

inline void main_list_append(kxs* s) {
  if (kxs_list_nexti > kxs_list_lasti) kxs_concat_list();
  kxs_list[kxs_list_nexti] = s;
  s->pool_index = kxs_list_nexti++;
}

inline void cmem_list_append(kxs* s) {
  if (kxs_cmem_list_nexti > kxs_cmem_list_lasti) kxs_cmem_concat_list();
  kxs_cmem_list[kxs_cmem_list_nexti] = s;
  s->pool_index = kxs_cmem_list_nexti++;
}

inline void tmp_list_append(kxs* s) {
  if (kxs_tmp_list_nexti > kxs_tmp_list_lasti) kxs_tmp_concat_list();
  kxs_tmp_list[kxs_tmp_list_nexti] = s;
  s->temp_index = kxs_tmp_list_nexti++;
  s->is_temp = 1;
}

void string_lists_init();

}  // namespace kx
