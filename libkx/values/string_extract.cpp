#include "values/string_extract.h"

#include <algorithm>

#include "base/error.h"
#include "values/string_results.h"

kxs* kxs_left(kxs* s, int32_t n) {
  if (new_error) return kx::empty_result();
  const int64_t keep = std::clamp<int64_t>(n, 0, s->length);
  return kx::keep_part(s, 0, keep);
}

kxs* kxs_right(kxs* s, int32_t n) {
  if (new_error) return kx::empty_result();
  const int64_t keep = std::clamp<int64_t>(n, 0, s->length);
  return kx::keep_part(s, s->length - keep, keep);
}

kxs* func_mid(kxs* s, int32_t start, int32_t n, int32_t n_passed) {
  if (new_error) return kx::empty_result();
  const int64_t length = s->length;
  int64_t first = start;
  int64_t count;
  if (n_passed) {
    count = n;
    if (first < 1) {
      count -= 1 - first;
      first = 1;
    }
    if (count < 1 || first > length) return kx::keep_part(s, 0, 0);
    count = std::min(count, length - first + 1);
  } else {
    first = std::max<int64_t>(first, 1);
    if (first > length) return kx::keep_part(s, 0, 0);
    count = length - first + 1;
  }
  return kx::keep_part(s, first - 1, count);
}

kxs* kxs_ltrim(kxs* s) {
  if (new_error) return kx::empty_result();
  int64_t at = 0;
  while (at < s->length && s->chars[at] == ' ') ++at;
  return kx::keep_part(s, at, s->length - at);
}

kxs* kxs_rtrim(kxs* s) {
  if (new_error) return kx::empty_result();
  int64_t end = s->length;
  while (end > 0 && s->chars[end - 1] == ' ') --end;
  return kx::keep_part(s, 0, end);
}

kxs* kxs__trim(kxs* s) { return kxs_ltrim(kxs_rtrim(s)); }

int32_t kxs_asc(kxs* s) { return kxs_asc(s, 1); }

int32_t kxs_asc(kxs* s, int32_t p) {
  if (new_error) return 0;
  if (p < 1 || p > s->length) {
    error(err::illegal_function_call);
    return 0;
  }
  return s->chars[p - 1];
}

int32_t kxs_len(kxs* s) { return s->length; }
