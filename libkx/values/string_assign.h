#pragma once
// Assignment and concatenation: the commonest string operations of the
// program. Temporary operands are consumed.
#include "values/move_bytes.h"
#include "values/string_descriptor.h"
#include "values/string_lists.h"
#include "values/string_pools.h"
#include "values/string_release.h"

namespace kx {

// Every case of assignment; kxs_set inlines the two that nearly every
// statement takes and hands the rest here.
kxs* assign_general(kxs* dest, kxs* src);

// A temporary source in dest's pool: dest takes its bytes and its pool slot,
// and the source's descriptor goes back to the free stack. No byte moves.
inline void take_over(kxs* dest, kxs* src) {
  growable_array<kxs*>& slots = dest->in_conventional ? kxs_cmem_list : kxs_list;
  slots[dest->pool_index] = free_slot();
  slots[src->pool_index] = dest;
  dest->pool_index = src->pool_index;
  kxs_tmp_list[src->temp_index] = free_slot();
  if (src->temp_index + 1 == kxs_tmp_list_nexti) --kxs_tmp_list_nexti;
  dest->chars = src->chars;
  // Length, pool and spare bytes in one word, all src's: the pool is the
  // same, and dest's own spare bytes stay behind with its old text.
  descriptor_words::store(dest, 1, descriptor_words::load(src, 1));
  if (src->field_link) field_link_release(src);
  kxs_free_descriptor(src);
}

}  // namespace kx

// dest = src. A fixed-length dest is padded with blanks or truncated. A
// temporary src in dest's pool is taken over without copying. Otherwise
// dest keeps its place while the new text fits below the next string, and
// moves to the end of its pool when it does not.
[[gnu::always_inline]] inline kxs* kxs_set(kxs* dest, kxs* src) {
  if (dest != src && !dest->is_fixed && src->is_temp) {
    // c$ = <expression>: the expression's result is a pooled temporary.
    if (!src->is_fixed && !src->is_readonly && src->in_conventional == dest->in_conventional) {
      kx::take_over(dest, src);
      if (dest->legacy_descriptor) kx::legacy_descriptor_write(dest);
      return dest;
    }
    // a$ = "literal" that fits where dest is: copy, then drop the literal's
    // descriptor, which is the statement's newest temporary.
    if (src->is_readonly && src->length <= dest->length && !src->field_link && !dest->legacy_descriptor) {
      // Everything is read before the copy, which the compiler must assume
      // may write over any descriptor.
      const int32_t length = src->length;
      const uint32_t slot = src->temp_index;
      // Overlap-safe: a view may lie over pool bytes.
      kx::move_bytes(dest->chars, src->chars, static_cast<uint64_t>(length));
      dest->length = length;
      kx::temp_slot_release(slot);
      kxs_free_descriptor(src);
      return dest;
    }
  }
  return kx::assign_general(dest, src);
}

// a + b: an empty operand gives the other operand itself. A result longer
// than 2^31 - 1 bytes raises error 14 and gives an empty temporary, leaving
// both operands as they were.
kxs* kxs_add(kxs* a, kxs* b);
