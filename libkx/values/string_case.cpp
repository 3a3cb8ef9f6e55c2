#include "values/string_case.h"

#include <cstddef>
#include <cstdint>

#include "base/error.h"
#include "values/string_results.h"

namespace {

// from and to may be the same bytes. Written as a branch-free select so the
// compiler turns it into vector code: UCASE$ of a long text costs no more
// than copying it.
template <uint8_t first, uint8_t last>
void flip_case(const uint8_t* from, uint8_t* to, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const uint8_t c = from[i];
    to[i] = static_cast<uint8_t>(c ^ (static_cast<uint8_t>(c - first) <= last - first ? 0x20 : 0));
  }
}

template <uint8_t first, uint8_t last>
kxs* convert(kxs* s) {
  if (new_error) return kx::empty_result();
  if (s->length == 0) return s;
  const auto n = static_cast<size_t>(s->length);
  if (kx::is_reusable(s)) {
    flip_case<first, last>(s->chars, s->chars, n);
    return s;
  }
  kxs* r = kxs_new(s->length, 1);
  flip_case<first, last>(s->chars, r->chars, n);
  if (s->is_temp) kxs_free(s);
  return r;
}

}  // namespace

kxs* kxs_ucase(kxs* s) { return convert<'a', 'z'>(s); }
kxs* kxs_lcase(kxs* s) { return convert<'A', 'Z'>(s); }
