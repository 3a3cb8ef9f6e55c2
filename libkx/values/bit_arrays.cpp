#include "values/bit_arrays.h"

namespace {

// Where an element lies: its first byte, its bit offset in that byte, and
// how many bytes it spans (at most 8: 7 + 57 bits).
struct element_span {
  uint8_t* first;
  uint32_t shift;
  uint32_t bytes;
};

element_span locate(uint32_t width, uint8_t* base, int64_t index) {
  const uint64_t bit = static_cast<uint64_t>(index) * width;
  const auto shift = static_cast<uint32_t>(bit & 7);
  return {base + (bit >> 3), shift, (shift + width + 7) >> 3};
}

uint64_t load(const uint8_t* p, uint32_t bytes) {
  uint64_t v = 0;
  for (uint32_t k = 0; k < bytes; ++k) v |= uint64_t{p[k]} << (8 * k);
  return v;
}

void store(uint8_t* p, uint32_t bytes, uint64_t v) {
  for (uint32_t k = 0; k < bytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

constexpr bool valid_width(uint32_t width) { return width >= 1 && width <= bit_array_max_width; }

constexpr uint64_t low_mask(uint32_t width) { return (uint64_t{1} << width) - 1; }

}  // namespace

uint64_t getubits(uint32_t width, uint8_t* base, int64_t index) {
  if (!valid_width(width)) return 0;
  const element_span e = locate(width, base, index);
  return (load(e.first, e.bytes) >> e.shift) & low_mask(width);
}

int64_t getbits(uint32_t width, uint8_t* base, int64_t index) {
  const uint64_t u = getubits(width, base, index);
  if (!valid_width(width)) return 0;
  // Move the sign bit to bit 63, then shift back arithmetically.
  return static_cast<int64_t>(u << (64 - width)) >> (64 - width);
}

void setbits(uint32_t width, uint8_t* base, int64_t index, int64_t value) {
  if (!valid_width(width)) return;
  const element_span e = locate(width, base, index);
  const uint64_t mask = low_mask(width) << e.shift;
  const uint64_t word = load(e.first, e.bytes);
  store(e.first, e.bytes, (word & ~mask) | ((static_cast<uint64_t>(value) << e.shift) & mask));
}
