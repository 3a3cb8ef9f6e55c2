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
// main-pool bytes, or the sum would be too long for a string. A temporary
// grows like any main-pool string and stays listed for the sweep (the plain
// form would free it inside kxs_add and then assign to it), and a fielded
// one keeps its link either way.
bool takes_plain_form(const kxs* dest, int64_t added) {
  return dest->is_fixed || dest->is_readonly || dest->in_conventional || int64_t{dest->length} + added > INT32_MAX;
}

// Free slots scanned past before the slots above a string are packed.
constexpr uint32_t pack_after_free_slots = 64;

// Packs the live slots above slot first down over the free ones, keeping
// their order and renumbering them. A string that another variable keeps
// taking new places behind (t = <new text> after every s = s + x) leaves a
// free slot behind it each time, which every later scan from s would walk.
void pack_slots_above(uint32_t first) {
  uint32_t to = first + 1;
  for (uint32_t i = first + 1; i < kxs_list_nexti; ++i) {
    kxs* s = kxs_list[i];
    if (kx::is_free_slot(s)) continue;
    if (i != to) {
      kxs_list[to] = s;
      s->pool_index = to;
    }
    ++to;
  }
  for (uint32_t i = to; i < kxs_list_nexti; ++i) kxs_list[i] = kx::free_slot();
  kxs_list_nexti = to;
}

// The next live string of the main list above dest (a temporary x,
// consumed right after, does not count), or null when none follows. A long
// run of free slots on the way is packed away once it is as long as the
// slots left after it, so that the pack costs no more than the walk that
// found it.
const kxs* next_string(const kxs* dest, const kxs* x) {
  uint32_t i = dest->pool_index + 1;
  uint32_t free_slots = 0;
  for (; i < kxs_list_nexti; ++i) {
    const kxs* s = kxs_list[i];
    if (kx::is_free_slot(s)) {
      ++free_slots;
      continue;
    }
    if (!(x && x->is_temp && s == x)) break;
  }
  const kxs* next = i < kxs_list_nexti ? kxs_list[i] : nullptr;
  if (free_slots >= pack_after_free_slots && free_slots >= kxs_list_nexti - i) pack_slots_above(dest->pool_index);
  return next;
}

// Room for need bytes and as much again (at least the slack, and never
// past the longest string), so that growing to n bytes moves or widens
// the string about log n times.
uint64_t room_for(uint64_t need) {
  return need + std::max<uint64_t>(kxs_slack, std::min<uint64_t>(need, INT32_MAX - need));
}

// Spare bytes for a string of need bytes that will end at offset end and
// may keep the pool's bytes up to offset limit to itself.
uint32_t spare_between(uint64_t end, uint64_t limit, uint64_t need) {
  return static_cast<uint32_t>(std::min<uint64_t>({limit - end, kxs_spare_max, INT32_MAX - need}));
}

// Makes room for dest to grow to need bytes, its own bytes kept: in place
// when it can, otherwise at the end of the pool with room to grow after
// them. Compaction may move any main-pool string, x included, and tells
// each where. Answers the spare bytes dest has once it holds need bytes.
uint32_t make_room(kxs* dest, const kxs* x, uint64_t need) {
  const auto at = static_cast<uint64_t>(dest->chars - kxs_data);
  const kxs* next = next_string(dest, x);
  if (next) {
    // The gap below the next string: no string is ever placed in a gap.
    const auto next_at = static_cast<uint64_t>(next->chars - kxs_data);
    if (next_at >= at + need) return spare_between(at + need, next_at, need);
  } else if (at + need <= kxs_data_size) {
    // The newest string: the fill level goes ahead of it by its room.
    const uint64_t end = std::min(at + room_for(need), kxs_data_size);
    if (end > kxs_sp) kxs_sp = end;
    return spare_between(at + need, kxs_sp, need);
  }
  const uint64_t room = room_for(need);
  if (kxs_sp + room + kxs_slack > kxs_data_size) kxs_concat(static_cast<uint32_t>(room));
  if (kxs_list_nexti > kxs_list_lasti) kxs_concat_list();
  uint8_t* to = kxs_data + kxs_sp;
  kx::move_bytes(to, dest->chars, static_cast<uint64_t>(dest->length));
  kxs_list[dest->pool_index] = kx::free_slot();
  kxs_list[kxs_list_nexti] = dest;
  dest->pool_index = kxs_list_nexti++;
  dest->chars = to;
  const uint64_t start = kxs_sp;
  kxs_sp += room;
  return spare_between(start + need, kxs_sp, need);
}

}  // namespace

kxs* kxs_append_general(kxs* dest, kxs* x) {
  if (dest == x || takes_plain_form(dest, x->length)) return kxs_set(dest, kxs_add(dest, x));
  if (!x->length) return dest;  // as kxs_add: an empty x is left to the sweep
  const auto need = static_cast<uint64_t>(dest->length) + static_cast<uint64_t>(x->length);
  const uint32_t spare = make_room(dest, x, need);
  // x may lie just above dest: the overlap-safe move reads it first.
  kx::move_bytes(dest->chars + dest->length, x->chars, static_cast<uint64_t>(x->length));
  dest->length = static_cast<int32_t>(need);
  dest->spare = spare;
  if (x->is_temp) kxs_free(x);
  return dest;
}

kxs* kxs_append_txt_len_general(kxs* dest, const void* bytes, int32_t n) {
  if (n <= 0) return dest;
  if (takes_plain_form(dest, n)) return kxs_set(dest, kxs_add(dest, kxs_new_txt_len(bytes, n)));
  const auto need = static_cast<uint64_t>(dest->length) + static_cast<uint64_t>(n);
  const uint32_t spare = make_room(dest, nullptr, need);
  kx::move_bytes(dest->chars + dest->length, static_cast<const uint8_t*>(bytes), static_cast<uint64_t>(n));
  dest->length = static_cast<int32_t>(need);
  dest->spare = spare;
  return dest;
}
