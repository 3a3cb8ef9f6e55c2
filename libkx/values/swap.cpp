#include "values/swap.h"

#include <cstdint>
#include <cstring>

#include "base/error.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"

void swap_block(void* a, void* b, size_t n) {
  auto* pa = static_cast<unsigned char*>(a);
  auto* pb = static_cast<unsigned char*>(b);
  // Four bytes at a time, then the rest singly; memcpy keeps unaligned
  // areas well defined.
  while (n >= 4) {
    uint32_t wa, wb;
    std::memcpy(&wa, pa, 4);
    std::memcpy(&wb, pb, 4);
    std::memcpy(pa, &wb, 4);
    std::memcpy(pb, &wa, 4);
    pa += 4;
    pb += 4;
    n -= 4;
  }
  while (n-- > 0) {
    const unsigned char t = *pa;
    *pa++ = *pb;
    *pb++ = t;
  }
}

void swap_string(kxs* a, kxs* b) {
  if (new_error.load() != 0) return;
  // The working copy is permanent, so assigning it copies its bytes rather
  // than taking it over, and it is released exactly once, here.
  kxs* copy = kxs_new(a->length, 0);
  if (a->length > 0) std::memcpy(copy->chars, a->chars, static_cast<size_t>(a->length));
  kxs_set(a, b);
  kxs_set(b, copy);
  kxs_free(copy);
}
