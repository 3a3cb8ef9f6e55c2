#include "values/string_overwrite.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "base/hooks.h"
#include "values/string_descriptor.h"
#include "values/string_startup.h"

namespace {

// memmove throughout: the source may be the target itself.
void move_bytes(uint8_t* to, const uint8_t* from, int64_t n) {
  if (n > 0) std::memmove(to, from, static_cast<size_t>(n));
}

enum class justify { left, right };

void justified_set(kxs* v, kxs* s, justify side) {
  if (new_error || v->is_readonly) return;
  const int64_t room = v->length;
  const int64_t have = s->length;
  if (have < room) {
    const int64_t pad = room - have;
    if (side == justify::left) {
      move_bytes(v->chars, s->chars, have);
      std::memset(v->chars + have, ' ', static_cast<size_t>(pad));
    } else {
      move_bytes(v->chars + pad, s->chars, have);
      std::memset(v->chars, ' ', static_cast<size_t>(pad));
    }
  } else {
    move_bytes(v->chars, s->chars, room);
  }
  if (v->field_link) kx::hooks.field_overwritten.load()(v);
}

}  // namespace

void sub_mid(kxs* v, int32_t start, int32_t n, kxs* t, int32_t n_passed) {
  if (new_error || v == nothingstring || v->is_readonly) return;
  int64_t first = start;
  int64_t count = n_passed ? n : t->length;
  int64_t skip = 0;
  if (first < 1) {
    skip = 1 - first;
    count -= skip;
    first = 1;
  }
  const int64_t available = t->length - skip;
  if (count < 1 || first > v->length || available < 1) return;
  count = std::min({count, v->length - first + 1, available});
  move_bytes(v->chars + (first - 1), t->chars + skip, count);
}

void sub_lset(kxs* v, kxs* s) { justified_set(v, s, justify::left); }
void sub_rset(kxs* v, kxs* s) { justified_set(v, s, justify::right); }
