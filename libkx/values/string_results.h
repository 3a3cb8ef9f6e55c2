#pragma once
// How the string functions hand back their results: a function may change a
// temporary argument in place and return it, but only when nothing else can
// see those bytes; otherwise it builds a new temporary and releases the
// argument if that was a temporary.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "values/string_create.h"
#include "values/string_descriptor.h"
#include "values/string_release.h"

namespace kx {

// A temporary whose bytes belong to the main pool and to nobody else: not a
// variable's fixed storage, not constant text, not the data segment (whose
// bytes legacy programs may be looking at).
inline bool is_reusable(const kxs* s) {
  return s->is_temp && !s->is_fixed && !s->is_readonly && !s->in_conventional;
}

// The harmless result of a string function while an error is pending.
inline kxs* empty_result() { return kxs_new(0, 1); }

// A new temporary holding a copy of n bytes.
inline kxs* text_result(const void* bytes, size_t n) {
  kxs* r = kxs_new(static_cast<int32_t>(n), 1);
  if (n) std::memcpy(r->chars, bytes, n);
  return r;
}

// A new temporary holding length bytes of s from offset at (both already
// inside s); s is released when it was a temporary. The bytes are read after
// the new string is made, since making it may compact the pool s lives in.
inline kxs* copy_part(kxs* s, int64_t at, int64_t length) {
  kxs* r = kxs_new(static_cast<int32_t>(length), 1);
  if (length > 0) std::memcpy(r->chars, s->chars + at, static_cast<size_t>(length));
  if (s->is_temp) kxs_free(s);
  return r;
}

// The part of s from offset at, length bytes: s itself when that is all of
// it, s narrowed in place when it is reusable, else a copy.
inline kxs* keep_part(kxs* s, int64_t at, int64_t length) {
  if (at == 0 && length == s->length) return s;
  if (!is_reusable(s)) return copy_part(s, at, length);
  s->chars += at;
  s->length = static_cast<int32_t>(length);
  return s;
}

}  // namespace kx
