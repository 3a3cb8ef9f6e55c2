#pragma once
// s = s + x in place: the compiled form of a string built up piece by
// piece. The plain form (kxs_set of kxs_add) copies both operands into a
// new string every time, so a string built that way costs the square of
// its length; this one copies only x while the pool has room after s.
#include <cstdint>
#include <cstring>

#include "values/move_bytes.h"
#include "values/string_descriptor.h"
#include "values/string_release.h"

namespace kx {

// The case of nearly every s = s + x in a loop, kept to a few instructions:
// the n > 0 new bytes fit in dest's spare bytes, which no other string
// uses. Length and spare share one descriptor word, read once and written
// once. Appends by copy (the bytes must not lie in dest's spare) and
// answers true, or does nothing and answers false. A fielded dest is no
// exception: the plain form too leaves it the sum and its link.
template <class Copy>
[[gnu::always_inline]] inline bool append_in_spare(kxs* dest, const uint8_t* bytes, int32_t n, Copy copy) {
  namespace words = descriptor_words;
  constexpr unsigned spare_shift = 40;
  const uint64_t word = words::load(dest, 1);
  const auto count = static_cast<uint64_t>(n);
  if (count > word >> spare_shift) return false;
  // Everything is read before the copy, which the compiler must assume may
  // write over the descriptor.
  uint8_t* end = dest->chars + static_cast<uint32_t>(word);
  copy(end, bytes, count);
  words::store(dest, 1, word + count - (count << spare_shift));
  return true;
}

}  // namespace kx

// dest = dest + x, with x consumed as kxs_add consumes it. dest grows where
// it is while the next string in its pool lies far enough above it (or
// none does); otherwise it moves to the end of the pool with as much room
// again as its new length, so that growth costs amortised linear time. The
// room left after the new end becomes dest's spare bytes.
// Fixed-length, read-only and conventional-pool destinations, and x being
// dest itself, take the plain form, whose meaning this keeps in every case;
// a temporary dest grows in place and stays a temporary.
kxs* kxs_append_general(kxs* dest, kxs* x);

[[gnu::always_inline]] inline kxs* kxs_append(kxs* dest, kxs* x) {
  // x is another string, so it does not lie in dest's spare bytes; a
  // temporary x is then released as kxs_add releases it.
  if (x != dest && x->length > 0 && kx::append_in_spare(dest, x->chars, x->length, kx::move_bytes)) [[likely]] {
    if (x->is_temp) kxs_free(x);
    return dest;
  }
  return kxs_append_general(dest, x);
}

// dest = dest + the literal's n bytes: the same, for a right operand that
// compiled code would otherwise pass as a temporary view. The bytes must
// not lie in a string pool (compiled literals never do).
kxs* kxs_append_txt_len_general(kxs* dest, const void* bytes, int32_t n);

[[gnu::always_inline]] inline kxs* kxs_append_txt_len(kxs* dest, const void* bytes, int32_t n) {
  const auto copy = [](uint8_t* to, const uint8_t* from, uint64_t count) { std::memcpy(to, from, count); };
  if (n > 0 && kx::append_in_spare(dest, static_cast<const uint8_t*>(bytes), n, copy)) [[likely]]
    return dest;
  return kxs_append_txt_len_general(dest, bytes, n);
}
