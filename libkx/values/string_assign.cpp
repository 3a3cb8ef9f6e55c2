#include "values/string_assign.h"

#include <cstring>

#include "base/error.h"
#include "values/conventional_memory.h"
#include "values/move_bytes.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_pools.h"
#include "values/string_release.h"

namespace {

// Overlap-safe: in-place growth may copy over the bytes of a temporary source.
void copy_bytes(uint8_t* to, const uint8_t* from, uint64_t length) { kx::move_bytes(to, from, length); }

// The pool that a growing string lives in, as one set of references.
struct pool_view {
  kx::growable_array<kxs*>& slots;
  uint32_t& nexti;
  uint32_t lasti;
  uint8_t* base;
  uint64_t size;  // bytes the pool may hold: kxs_data_size, or cmem_sp
  void (*compact)(uint32_t extra);
  void (*concat_list)();
};

// fill is the pool's own fill level: compaction rewrites it.
template <class Fill>
void assign_growing(pool_view pool, Fill& fill, kxs* dest, const kxs* src) {
  const auto need = static_cast<uint64_t>(src->length);
  const auto at = static_cast<uint64_t>(dest->chars - pool.base);
  const bool fits_below_limit = at + need <= pool.size;
  using fill_type = Fill;

  // A string that grows or moves here gives up its spare bytes: the fill
  // level is set right behind it, or they stay behind at the old place.
  dest->spare = 0;
  auto grow_in_place = [&] {
    copy_bytes(dest->chars, src->chars, need);
    dest->length = src->length;
  };

  bool relocate = true;
  if (dest->pool_index + 1 == pool.nexti) {
    if (fits_below_limit) {
      grow_in_place();
      fill = static_cast<fill_type>(at + need);
      relocate = false;
    }
  } else {
    // The upper neighbour is the next live slot. A temporary source is
    // skipped (by identity: its own slot number belongs to its own list),
    // since it is freed right after this copy.
    uint32_t i = dest->pool_index + 1;
    while (i < pool.nexti && (kx::is_free_slot(pool.slots[i]) || (src->is_temp && pool.slots[i] == src))) ++i;
    if (i < pool.nexti) {
      if (static_cast<uint64_t>(pool.slots[i]->chars - pool.base) >= at + need) {
        grow_in_place();
        relocate = false;
      }
    } else {
      pool.nexti = dest->pool_index + 1;
      if (fits_below_limit) {
        grow_in_place();
        fill = static_cast<fill_type>(at + need);
        relocate = false;
      }
    }
  }
  if (!relocate) return;

  pool.slots[dest->pool_index] = kx::free_slot();
  if (fill + need > pool.size) pool.compact(static_cast<uint32_t>(need));
  if (pool.nexti > pool.lasti) pool.concat_list();
  // Compaction may have moved or grown the pool: read its base again.
  uint8_t* base = dest->in_conventional ? dblock : kxs_data;
  pool.slots[pool.nexti] = dest;
  dest->pool_index = pool.nexti++;
  dest->chars = base + fill;
  dest->length = src->length;
  fill = static_cast<fill_type>(fill + need);
  copy_bytes(dest->chars, src->chars, need);
}

void assign_growing(kxs* dest, const kxs* src) {
  if (dest->in_conventional) {
    pool_view pool{kxs_cmem_list, kxs_cmem_list_nexti, kxs_cmem_list_lasti, dblock, cmem_sp,
                   kxs_concat_cmem, kxs_cmem_concat_list};
    assign_growing(pool, kxs_cmem_sp, dest, src);
  } else {
    pool_view pool{kxs_list, kxs_list_nexti, kxs_list_lasti, kxs_data, kxs_data_size, kxs_concat, kxs_concat_list};
    assign_growing(pool, kxs_sp, dest, src);
  }
}

void assign_fixed(kxs* dest, const kxs* src) {
  const auto room = static_cast<uint64_t>(dest->length);
  const auto have = static_cast<uint64_t>(src->length);
  if (have < room) {
    copy_bytes(dest->chars, src->chars, have);
    std::memset(dest->chars + have, ' ', room - have);
  } else {
    copy_bytes(dest->chars, src->chars, room);
  }
}

}  // namespace

kxs* kx::assign_general(kxs* dest, kxs* src) {
  // A string assigned to itself is already right; going on would free a
  // temporary that is also the destination.
  if (dest == src) return dest;
  if (dest->is_fixed) {
    assign_fixed(dest, src);
  } else if (src->is_temp && !src->is_fixed && !src->is_readonly && src->in_conventional == dest->in_conventional) {
    kx::take_over(dest, src);
    if (dest->legacy_descriptor) kx::legacy_descriptor_write(dest);
    return dest;
  } else if (src->length <= dest->length) {
    copy_bytes(dest->chars, src->chars, static_cast<uint64_t>(src->length));
    dest->length = src->length;
  } else {
    assign_growing(dest, src);
  }
  if (src->is_temp) kxs_free(src);
  if (dest->legacy_descriptor) kx::legacy_descriptor_write(dest);
  return dest;
}

kxs* kxs_add(kxs* a, kxs* b) {
  if (!b->length) return a;
  if (!a->length) return b;
  const int64_t total = int64_t{a->length} + b->length;
  if (total > INT32_MAX) {
    error(err::out_of_string_space);
    return kxs_new(0, 1);
  }
  kxs* r = kxs_new(static_cast<int32_t>(total), 1);
  // kxs_new may have compacted or grown the pool: a and b are read after it.
  copy_bytes(r->chars, a->chars, static_cast<uint64_t>(a->length));
  copy_bytes(r->chars + a->length, b->chars, static_cast<uint64_t>(b->length));
  if (a->is_temp) kxs_free(a);
  if (b->is_temp && b != a) kxs_free(b);
  return r;
}
