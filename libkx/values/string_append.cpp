#include "values/string_append.h"

#include <algorithm>
#include <cstdint>

#include "values/move_bytes.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_pools.h"
#include "values/string_release.h"

namespace {

// Destinations that only the plain form handles: they do not own growable
// main-pool bytes, or the sum would be too long for a string.
bool takes_plain_form(const kxs* dest, int64_t added) {
  return dest->is_fixed || dest->is_readonly || dest->is_temp || dest->in_conventional || dest->field_link ||
         int64_t{dest->length} + added > INT32_MAX;
}

// True when dest may grow to need bytes where it is: the next live string
// of the main list (a temporary x, consumed right after, does not count)
// lies at or above its new end, or none follows and the pool is big enough.
bool room_in_place(const kxs* dest, const kxs* x, uint64_t need) {
  const auto at = static_cast<uint64_t>(dest->chars - kxs_data);
  uint32_t i = dest->pool_index + 1;
  while (i < kxs_list_nexti && (kx::is_free_slot(kxs_list[i]) || (x && x->is_temp && kxs_list[i] == x))) ++i;
  if (i < kxs_list_nexti) return static_cast<uint64_t>(kxs_list[i]->chars - kxs_data) >= at + need;
  return at + need <= kxs_data_size;
}

// Makes room for dest to grow to need bytes, its own bytes kept: in place
// when it can, otherwise at the end of the pool with as much room again
// after them. Compaction may move any main-pool string, x included, and
// tells each where.
void make_room(kxs* dest, const kxs* x, uint64_t need) {
  if (room_in_place(dest, x, need)) {
    const auto end = static_cast<uint64_t>(dest->chars - kxs_data) + need;
    // The newest string's end is the fill level, with its slack after it.
    if (end + kxs_slack > kxs_sp) kxs_sp = std::min(end + kxs_slack, kxs_data_size);
    return;
  }
  const uint64_t room = need * 2 > INT32_MAX ? need : need * 2;
  if (kxs_sp + room + kxs_slack > kxs_data_size) kxs_concat(static_cast<uint32_t>(room));
  if (kxs_list_nexti > kxs_list_lasti) kxs_concat_list();
  uint8_t* to = kxs_data + kxs_sp;
  kx::move_bytes(to, dest->chars, static_cast<uint64_t>(dest->length));
  kxs_list[dest->pool_index] = kx::free_slot();
  kxs_list[kxs_list_nexti] = dest;
  dest->pool_index = kxs_list_nexti++;
  dest->chars = to;
  kxs_sp += room;
}

}  // namespace

kxs* kxs_append(kxs* dest, kxs* x) {
  if (dest == x || takes_plain_form(dest, x->length)) return kxs_set(dest, kxs_add(dest, x));
  if (!x->length) return dest;  // as kxs_add: an empty x is left to the sweep
  const auto need = static_cast<uint64_t>(dest->length) + static_cast<uint64_t>(x->length);
  make_room(dest, x, need);
  // x may lie just above dest: the overlap-safe move reads it first.
  kx::move_bytes(dest->chars + dest->length, x->chars, static_cast<uint64_t>(x->length));
  dest->length = static_cast<int32_t>(need);
  if (x->is_temp) kxs_free(x);
  return dest;
}

kxs* kxs_append_txt_len_general(kxs* dest, const void* bytes, int32_t n) {
  if (n <= 0) return dest;
  if (takes_plain_form(dest, n)) return kxs_set(dest, kxs_add(dest, kxs_new_txt_len(bytes, n)));
  const auto need = static_cast<uint64_t>(dest->length) + static_cast<uint64_t>(n);
  make_room(dest, nullptr, need);
  kx::move_bytes(dest->chars + dest->length, static_cast<const uint8_t*>(bytes), static_cast<uint64_t>(n));
  dest->length = static_cast<int32_t>(need);
  return dest;
}
