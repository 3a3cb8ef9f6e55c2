#pragma once
// Moving string text. Most strings of a statement are a few bytes long, and
// a library call costs more than the move itself, so short moves are done
// here: both halves are loaded before either is stored, which makes
// overlapping ranges safe as memmove would.
#include <cstdint>
#include <cstring>

namespace kx {

inline void move_bytes(uint8_t* to, const uint8_t* from, uint64_t length) {
  if (length == 0 || to == from) return;
  if (length <= 16) {
    if (length >= 8) {
      uint64_t head, tail;
      std::memcpy(&head, from, 8);
      std::memcpy(&tail, from + length - 8, 8);
      std::memcpy(to, &head, 8);
      std::memcpy(to + length - 8, &tail, 8);
    } else if (length >= 4) {
      uint32_t head, tail;
      std::memcpy(&head, from, 4);
      std::memcpy(&tail, from + length - 4, 4);
      std::memcpy(to, &head, 4);
      std::memcpy(to + length - 4, &tail, 4);
    } else {
      // 1 to 3 bytes: first, middle and last (some the same byte).
      const uint8_t first = from[0], middle = from[length / 2], last = from[length - 1];
      to[0] = first;
      to[length / 2] = middle;
      to[length - 1] = last;
    }
    return;
  }
  std::memmove(to, from, length);
}

}  // namespace kx
