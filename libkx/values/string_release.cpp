#include "values/string_release.h"

namespace kx {

void field_link_release(kxs* s) {
  if (kxs_field_link_detach) kxs_field_link_detach(s);
  s->field_link = nullptr;
}

namespace {

// The main list's end and fill level after slots were freed: the same state
// that releasing them one by one leaves, since each release only walks the
// end down over free slots and recomputes the fill level from the last live
// string.
void main_list_settle() {
  while (kxs_list_nexti > 0 && is_free_slot(kxs_list[kxs_list_nexti - 1])) --kxs_list_nexti;
  if (kxs_list_nexti) {
    const kxs* last = kxs_list[kxs_list_nexti - 1];
    const uint64_t end = static_cast<uint64_t>(last->chars - kxs_data) + static_cast<uint64_t>(last->length);
    kxs_sp = std::min(end + kxs_slack, kxs_data_size);
  } else {
    kxs_sp = 0;
  }
}

}  // namespace

void main_slot_release(const kxs* s) {
  kxs_list[s->pool_index] = free_slot();
  main_list_settle();
}

// A statement's sweep is the hottest loop of the program. Main-pool strings
// and literals are released here, with the list ends, the free stack and the
// three arrays kept in locals and the main list settled once for the whole
// sweep; anything with more to undo goes through kxs_free.
void sweep_temporaries(uint32_t mark) {
  if (mark < 1) mark = 1;  // slot 0 is never a temporary
  uint32_t top = kxs_tmp_list_nexti;
  uint32_t list_end = kxs_list_nexti;
  uint64_t freed = kxs_malloc_freed_num;
  // Room on the descriptor free stack for every temporary at once.
  auto make_room = [&] {
    while (freed + (top - mark) > kxs_malloc_freed_size) descriptor_free_stack_grow();
  };
  make_room();
  // Every store below goes through a kxs* or kxs** that the compiler cannot
  // tell from the arrays' own pointers, which would otherwise be reloaded.
  kxs** temps = kxs_tmp_list.data();
  kxs** slots = kxs_list.data();
  kxs** stack = kxs_malloc_freed.data();
  bool main_released = false;
  while (top > mark) {
    kxs* s = temps[--top];
    if (is_free_slot(s)) continue;
    // One test for the common case, a main-pool string with nothing else to
    // undo. Its temporary slot is above the list end now and is never read
    // again before it is reused; so is its pool slot when it is at the main
    // list's end, as a statement's newest temporaries usually are. Neither
    // is written: the sweep is bound by its stores.
    const uintptr_t extras = reinterpret_cast<uintptr_t>(s->field_link) | s->in_conventional | s->is_fixed | s->is_readonly;
    if (!extras) {
      if (s->pool_index + 1 == list_end)
        --list_end;
      else
        slots[s->pool_index] = free_slot();
      main_released = true;
      stack[freed++] = s;
      continue;
    }
    if (s->field_link || s->in_conventional || s->is_fixed) {
      // kxs_free works on the globals, and a field's detach hook may make
      // or free strings of its own, growing or moving any of the arrays and
      // using up the room made on the free stack.
      kxs_tmp_list_nexti = top;
      kxs_list_nexti = list_end;
      kxs_malloc_freed_num = freed;
      kxs_free(s);
      top = std::min(top, kxs_tmp_list_nexti);
      list_end = kxs_list_nexti;
      freed = kxs_malloc_freed_num;
      make_room();
      temps = kxs_tmp_list.data();
      slots = kxs_list.data();
      stack = kxs_malloc_freed.data();
      continue;
    }
    // A literal: in no pool list.
    stack[freed++] = s;
  }
  kxs_tmp_list_nexti = top;
  kxs_list_nexti = list_end;
  kxs_malloc_freed_num = freed;
  if (main_released) main_list_settle();
}

}  // namespace kx
