#include "values/string_search.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

// 0-based offset of the first t in s[from, end), or -1. memmem is the C
// library's linear-time search, and it never reads outside either string.
int64_t find_from(const kxs* s, int64_t from, const kxs* t) {
  const void* hit = memmem(s->chars + from, static_cast<size_t>(s->length - from), t->chars,
                           static_cast<size_t>(t->length));
  return hit ? static_cast<const uint8_t*>(hit) - s->chars : -1;
}

}  // namespace

int32_t func_instr(int32_t start, kxs* s, kxs* t, int32_t start_passed) {
  if (new_error) return 0;
  int64_t first = start_passed ? start : 1;
  if (s->length == 0) return 0;
  if (first <= 0) {
    if (t->length == 0) return 0;
    first = 1;
  }
  if (first > s->length) return 0;
  if (t->length == 0) return static_cast<int32_t>(first);
  if (first - 1 + t->length > s->length) return 0;
  const int64_t at = find_from(s, first - 1, t);
  return at < 0 ? 0 : static_cast<int32_t>(at + 1);
}

int32_t func__instrrev(int32_t start, kxs* s, kxs* t, int32_t start_passed) {
  if (new_error) return 0;
  const int64_t length = s->length;
  const int64_t wanted = t->length;
  if (length == 0 || wanted > length) return 0;
  const int64_t last_fit = length - wanted + 1;
  int64_t first = start;
  if (!start_passed) {
    if (wanted == length && std::memcmp(s->chars, t->chars, static_cast<size_t>(length)) == 0) return 1;
    first = last_fit;
  }
  if (first < 1 || first > length) first = last_fit;
  if (wanted == 0) return static_cast<int32_t>(first - 1);
  if (first > last_fit) first = last_fit;
  // The last t that begins at or before first lies inside s[0, first - 1 +
  // LEN(t)). Read backwards, it is the first occurrence of t backwards, so
  // one linear search over reversed copies finds it whatever the strings
  // hold (stepping forward from hit to hit would cost LEN(t) per hit).
  const int64_t window = first - 1 + wanted;
  kxs* back_s = kxs_new(static_cast<int32_t>(window), 1);
  kxs* back_t = kxs_new(static_cast<int32_t>(wanted), 1);
  // Read only now: making the copies may have moved the pool s and t live in.
  std::reverse_copy(s->chars, s->chars + window, back_s->chars);
  std::reverse_copy(t->chars, t->chars + wanted, back_t->chars);
  const void* hit = memmem(back_s->chars, static_cast<size_t>(window), back_t->chars, static_cast<size_t>(wanted));
  const int64_t found = hit ? window - (static_cast<const uint8_t*>(hit) - back_s->chars) - wanted + 1 : 0;
  kxs_free(back_t);
  kxs_free(back_s);
  return static_cast<int32_t>(found);
}
