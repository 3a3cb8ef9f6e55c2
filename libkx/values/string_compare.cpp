#include "values/string_compare.h"

#include <algorithm>
#include <cstring>

#include "values/string_descriptor.h"

namespace {

int32_t sign_of(int64_t x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }

int32_t compare(const kxs* a, const kxs* b) {
  const int32_t common = std::min(a->length, b->length);
  // memcmp compares as unsigned char, which is the order wanted.
  const int bytes = common > 0 ? std::memcmp(a->chars, b->chars, static_cast<size_t>(common)) : 0;
  if (bytes) return sign_of(bytes);
  return sign_of(int64_t{a->length} - b->length);
}

uint8_t folded(uint8_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c; }

int32_t truth(bool b) { return b ? -1 : 0; }

}  // namespace

int32_t kxs_equal(kxs* a, kxs* b) {
  return truth(a->length == b->length && (a->length == 0 || std::memcmp(a->chars, b->chars, static_cast<size_t>(a->length)) == 0));
}
int32_t kxs_notequal(kxs* a, kxs* b) { return kxs_equal(a, b) ? 0 : -1; }
int32_t kxs_lessthan(kxs* a, kxs* b) { return truth(compare(a, b) < 0); }
int32_t kxs_greaterthan(kxs* a, kxs* b) { return truth(compare(a, b) > 0); }
int32_t kxs_lessorequal(kxs* a, kxs* b) { return truth(compare(a, b) <= 0); }
int32_t kxs_greaterorequal(kxs* a, kxs* b) { return truth(compare(a, b) >= 0); }

int32_t func__str_compare(kxs* a, kxs* b) { return compare(a, b); }

int32_t func__str_nc_compare(kxs* a, kxs* b) {
  const int32_t common = std::min(a->length, b->length);
  for (int32_t i = 0; i < common; ++i) {
    const uint8_t x = folded(a->chars[i]);
    const uint8_t y = folded(b->chars[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return sign_of(int64_t{a->length} - b->length);
}
