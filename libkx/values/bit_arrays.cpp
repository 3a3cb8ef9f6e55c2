#include "values/bit_arrays.h"

#include <bit>
#include <cstring>

// Elements are numbered from the least significant bit of byte 0 upward,
// which is the machine's own order for multi-byte loads.
static_assert(std::endian::native == std::endian::little);

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

// Loads and stores that stay inside the element's bytes: a span of 4 to 8
// bytes is covered by two overlapping words, so nothing past the element is
// ever touched (the array's storage may end right after it).
template <class Word>
uint64_t load_word(const uint8_t* p) {
  Word w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

template <class Word>
void store_word(uint8_t* p, uint64_t v) {
  const auto w = static_cast<Word>(v);
  std::memcpy(p, &w, sizeof w);
}

template <class Word>
uint64_t load_pair(const uint8_t* p, uint32_t bytes) {
  const uint32_t upper = bytes - sizeof(Word);
  return load_word<Word>(p) | load_word<Word>(p + upper) << (8 * upper);
}

template <class Word>
void store_pair(uint8_t* p, uint32_t bytes, uint64_t v) {
  const uint32_t upper = bytes - sizeof(Word);
  store_word<Word>(p, v);
  store_word<Word>(p + upper, v >> (8 * upper));
}

// The access size is chosen by the width, which is the same for every
// element of an array, so the choice is predicted; each size covers every
// span that width can have (bytes = ceil((shift + width) / 8)).
//   width 1..25:  1..4 bytes, one byte at a time
//   width 26..57: 4..8 bytes, two overlapping 32-bit words
// Narrow elements share bytes with their neighbours, and a word load that
// straddles a neighbour's just-written word waits for it to drain; byte
// accesses never do.
uint64_t load(const uint8_t* p, uint32_t width, uint32_t bytes) {
  if (width > 25) return load_pair<uint32_t>(p, bytes);
  uint64_t v = 0;
  for (uint32_t k = 0; k < bytes; ++k) v |= uint64_t{p[k]} << (8 * k);
  return v;
}

void store(uint8_t* p, uint32_t width, uint32_t bytes, uint64_t v) {
  if (width > 25) return store_pair<uint32_t>(p, bytes, v);
  for (uint32_t k = 0; k < bytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

constexpr bool valid_width(uint32_t width) { return width >= 1 && width <= bit_array_max_width; }

constexpr uint64_t low_mask(uint32_t width) { return (uint64_t{1} << width) - 1; }

}  // namespace

uint64_t getubits(uint32_t width, uint8_t* base, int64_t index) {
  if (!valid_width(width)) return 0;
  const element_span e = locate(width, base, index);
  return (load(e.first, width, e.bytes) >> e.shift) & low_mask(width);
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
  const uint64_t word = load(e.first, width, e.bytes);
  store(e.first, width, e.bytes, (word & ~mask) | ((static_cast<uint64_t>(value) << e.shift) & mask));
}
