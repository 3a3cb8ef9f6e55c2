#pragma once
// s = s + x in place: the compiled form of a string built up piece by
// piece. The plain form (kxs_set of kxs_add) copies both operands into a
// new string every time, so a string built that way costs the square of
// its length; this one copies only x while the pool has room after s.
#include <cstdint>
#include <cstring>

#include "values/string_descriptor.h"
#include "values/string_lists.h"
#include "values/string_pools.h"

// dest = dest + x, with x consumed as kxs_add consumes it. dest grows where
// it is while the next string in its pool lies far enough above it (or
// none does); otherwise it moves to the end of the pool with as much room
// again as its new length, so that growth costs amortised linear time.
// Fixed-length, conventional-pool and fielded destinations, and x being
// dest itself, take the plain form, whose meaning this keeps in every case.
kxs* kxs_append(kxs* dest, kxs* x);

// dest = dest + the literal's n bytes: the same, for a right operand that
// compiled code would otherwise pass as a temporary view. The bytes must
// not lie in a string pool (compiled literals never do).
kxs* kxs_append_txt_len_general(kxs* dest, const void* bytes, int32_t n);

[[gnu::always_inline]] inline kxs* kxs_append_txt_len(kxs* dest, const void* bytes, int32_t n) {
  // The newest string of the main pool growing into the pool after it: the
  // case of nearly every s = s + "x" in a loop, kept to a few instructions.
  // Only a string listed in the main list is found in its own slot there.
  const uint32_t slot = dest->pool_index;
  if (n > 0 && slot + 1 == kxs_list_nexti && kxs_list[slot] == dest && !dest->is_temp && !dest->field_link &&
      dest->length <= INT32_MAX - n) {
    const uint64_t end = static_cast<uint64_t>(dest->chars - kxs_data) + static_cast<uint64_t>(dest->length) +
                         static_cast<uint64_t>(n) + kxs_slack;
    if (end <= kxs_data_size) {
      std::memcpy(dest->chars + dest->length, bytes, static_cast<size_t>(n));
      dest->length += n;
      if (end > kxs_sp) kxs_sp = end;
      return dest;
    }
  }
  return kxs_append_txt_len_general(dest, bytes, n);
}
