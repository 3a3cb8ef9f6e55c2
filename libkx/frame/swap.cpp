#include "frame/swap.h"

#include <cstdint>
#include <cstring>

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
