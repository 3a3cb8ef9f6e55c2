#include "values/string_release.h"

#include "base/hooks.h"

namespace kx {

void field_link_release(kxs* s) {
  hooks.field_unbind.load()(s);
  s->field_link = nullptr;
}

namespace {

// The main list's end and fill level after slots were freed: the same state
// that releasing them one by one leaves, since each release only walks the
// end down over free slots and recomputes the fill level from the last live
// string.
// The end is kept in a local while it walks, and written once.
[[gnu::always_inline]] inline void main_list_settle() {
  uint32_t end = kxs_list_nexti;
  kxs** const slots = kxs_list.data();
  while (end > 0 && is_free_slot(slots[end - 1])) --end;
  kxs_list_nexti = end;
  kxs_sp = end ? fill_after(slots[end - 1]) : 0;
}

}  // namespace

void main_slot_release(const kxs* s) {
  kxs_list[s->pool_index] = free_slot();
  main_list_settle();
}

namespace {

// A temporary that the sweep releases itself: a main-pool string or a
// literal, with no field link and not fixed.
bool plain_temporary(const kxs* s) {
  return !(reinterpret_cast<uintptr_t>(s->field_link) | s->in_conventional | s->is_fixed);
}

// The sweep of everything at or above mark once a temporary with more to
// undo turned up. Plain temporaries are released as in the lean loop below;
// the others go through kxs_free, which works on the globals, and a field's
// detach hook may make or free strings of its own, growing or moving any of
// the arrays and using up the room made on the free stack.
void sweep_general(uint32_t mark) {
  bool main_released = false;
  // Set when a string was released here with only free slots swept since.
  bool walk = false;
  while (kxs_tmp_list_nexti > mark) {
    kxs* s = kxs_tmp_list[kxs_tmp_list_nexti - 1];
    --kxs_tmp_list_nexti;
    if (is_free_slot(s)) continue;
    if (!plain_temporary(s)) {
      // kxs_free, or a hook it calls, may read the main list's end.
      if (main_released) main_list_settle();
      main_released = false;
      kxs_free(s);  // walks the end down itself
      walk = false;
      continue;
    }
    if (!s->is_readonly) {
      kxs_list[s->pool_index] = free_slot();
      main_released = true;
    }
    kxs_free_descriptor(s);
    walk = true;
  }
  if (walk) temp_end_walk();
  if (main_released) main_list_settle();
}

}  // namespace

// A statement's sweep is the hottest loop of the program. This loop releases
// main-pool strings and literals only, with the list ends, the free stack and
// the three arrays kept in locals and the main list settled once for the
// whole sweep; at the first temporary with more to undo it hands the rest to
// the general sweep.
void sweep_temporaries(uint32_t mark) {
  if (mark < 1) mark = 1;  // slot 0 is never a temporary
  uint32_t top = kxs_tmp_list_nexti;
  uint64_t freed = kxs_malloc_freed_num;
  // Room on the descriptor free stack for every temporary at once.
  while (freed + (top - mark) > kxs_malloc_freed_size) descriptor_free_stack_grow();
  uint32_t list_end = kxs_list_nexti;
  // Every store below goes through a kxs* or kxs** that the compiler cannot
  // tell from the arrays' own pointers, which would otherwise be reloaded.
  kxs** const temps = kxs_tmp_list.data();
  kxs** const slots = kxs_list.data();
  kxs** const stack = kxs_malloc_freed.data();
  const uint32_t list_end_before = list_end;
  bool main_released = false;
  // Set when a string was released with only free slots swept since: its
  // release walks the end down over them and on below the mark.
  bool walk = false;
  for (; top > mark; --top) {
    kxs* s = temps[top - 1];
    if (is_free_slot(s)) continue;
    if (!plain_temporary(s)) break;
    walk = true;
    // Its temporary slot is above the list end now and is never read again
    // before it is reused; so is its pool slot when it is at the main list's
    // end, as a statement's newest temporaries usually are. Neither is
    // written: the sweep is bound by its stores.
    if (!s->is_readonly) {
      if (s->pool_index + 1 == list_end)
        --list_end;
      else {
        slots[s->pool_index] = free_slot();
        main_released = true;
      }
    } else {
      s->is_readonly = 0;  // as kxs_free_descriptor leaves it
    }
    stack[freed++] = s;
  }
  kxs_tmp_list_nexti = top;
  kxs_list_nexti = list_end;
  kxs_malloc_freed_num = freed;
  if (main_released || list_end != list_end_before) main_list_settle();
  if (top > mark)
    sweep_general(mark);  // the released strings above are behind it
  else if (walk)
    temp_end_walk();
}

}  // namespace kx
