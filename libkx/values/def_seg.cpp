#include "values/def_seg.h"

#include "base/error.h"
#include "values/conventional_memory.h"

uint8_t* defseg = cmem + dblock_offset;

namespace {

constexpr int32_t lowest_argument = -65536;
constexpr int32_t highest_argument = 65535;

constexpr bool in_range(int32_t n) { return n >= lowest_argument && n <= highest_argument; }

// Negative arguments are taken in two's complement: -1 is FFFF.
constexpr uint32_t wrap16(int32_t n) { return static_cast<uint32_t>(n) & 0xFFFF; }

}  // namespace

void sub_defseg(int32_t segment, int32_t passed) {
  if (new_error) return;
  if (!passed) {
    defseg = dblock;
    return;
  }
  if (!in_range(segment)) {
    error(err::overflow);
    return;
  }
  defseg = cmem + wrap16(segment) * 16;
}

int32_t func_peek(int32_t offset) {
  if (new_error) return 0;  // the rest of a failing statement reads nothing
  if (!in_range(offset)) {
    error(err::overflow);
    return 0;
  }
  return defseg[wrap16(offset)];
}

void sub_poke(int32_t offset, int32_t value) {
  if (new_error) return;
  if (!in_range(offset)) {
    error(err::overflow);
    return;
  }
  defseg[wrap16(offset)] = static_cast<uint8_t>(value);
}
