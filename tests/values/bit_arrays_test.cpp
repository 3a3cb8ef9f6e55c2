#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "values/bit_arrays.h"

namespace {

// Independent model: element i of width w is bits i*w .. i*w+w-1 of a plain
// bit vector.
uint64_t model_get(const std::vector<bool>& bits, uint32_t w, uint64_t i) {
  uint64_t v = 0;
  for (uint32_t b = 0; b < w; ++b) v |= uint64_t{bits[i * w + b]} << b;
  return v;
}

void model_set(std::vector<bool>& bits, uint32_t w, uint64_t i, uint64_t v) {
  for (uint32_t b = 0; b < w; ++b) bits[i * w + b] = (v >> b) & 1;
}

int64_t sign_extend(uint64_t v, uint32_t w) {
  return (v >> (w - 1)) & 1 ? static_cast<int64_t>(v | ~((uint64_t{1} << w) - 1)) : static_cast<int64_t>(v);
}

}  // namespace

TEST(bit_arrays, KnownLayouts) {
  uint8_t one_bit[2] = {};
  setbits(1, one_bit, 3, 1);
  EXPECT_EQ(one_bit[0], 0x08);  // element 3 is bit 3 of byte 0
  setbits(1, one_bit, 9, -1);
  EXPECT_EQ(one_bit[1], 0x02);
  EXPECT_EQ(getubits(1, one_bit, 3), 1u);
  EXPECT_EQ(getbits(1, one_bit, 3), -1);

  uint8_t nibbles[2] = {0x80, 0};  // element 1 = binary 1000
  EXPECT_EQ(getbits(4, nibbles, 1), -8);
  EXPECT_EQ(getubits(4, nibbles, 1), 8u);
  EXPECT_EQ(getubits(4, nibbles, 0), 0u);

  uint8_t widths[8] = {};
  setbits(0, widths, 0, -1);  // unsupported widths change nothing
  setbits(58, widths, 0, -1);
  for (uint8_t b : widths) EXPECT_EQ(b, 0);
  widths[0] = 0xFF;
  EXPECT_EQ(getubits(64, widths, 0), 0u);
  EXPECT_EQ(getbits(0, widths, 0), 0);
}

// Every width 1..57, every element of an array whose storage is exactly the
// bytes its elements occupy (a heap block, so AddressSanitizer reports any
// access past it), at every bit offset: what is written reads back, signed
// and unsigned, and no other element changes.
TEST(bit_arrays, EveryWidthAtEveryOffsetAgreesWithModel) {
  std::mt19937_64 rng(1234);
  for (uint32_t w = 1; w <= bit_array_max_width; ++w) {
    const uint64_t count = 8 + w % 5;  // i * w covers every offset 0..7 when w is odd; even widths cover theirs
    const uint64_t bytes = (count * w + 7) / 8;
    auto storage = std::make_unique<uint8_t[]>(bytes);
    std::vector<bool> bits(bytes * 8);
    std::vector<uint32_t> offsets_seen(8);
    for (int round = 0; round < 3; ++round) {
      for (uint64_t i = 0; i < count; ++i) {
        const uint64_t v = rng();  // high bits beyond w must be ignored
        setbits(w, storage.get(), static_cast<int64_t>(i), static_cast<int64_t>(v));
        model_set(bits, w, i, v & ((uint64_t{1} << w) - 1));
        ++offsets_seen[(i * w) % 8];
        for (uint64_t j = 0; j < count; ++j) {
          const uint64_t expected = model_get(bits, w, j);
          ASSERT_EQ(getubits(w, storage.get(), static_cast<int64_t>(j)), expected) << "w=" << w << " i=" << i << " j=" << j;
          ASSERT_EQ(getbits(w, storage.get(), static_cast<int64_t>(j)), sign_extend(expected, w)) << "w=" << w;
        }
      }
    }
    // Bits past the last element, in the last byte, are never written.
    for (uint64_t b = count * w; b < bytes * 8; ++b) ASSERT_FALSE((storage[b / 8] >> (b % 8)) & 1) << "w=" << w;
    for (uint32_t o = 0; o < 8; o += std::gcd(w, 8u)) EXPECT_GT(offsets_seen[o], 0u) << "w=" << w << " offset " << o;
  }
}

TEST(bit_arrays, ExtremeValuesRoundTrip) {
  for (uint32_t w = 1; w <= bit_array_max_width; ++w) {
    const int64_t low = -(int64_t{1} << (w - 1));
    const int64_t high = (int64_t{1} << (w - 1)) - 1;
    auto storage = std::make_unique<uint8_t[]>((3 * w) / 8 + 1);
    setbits(w, storage.get(), 0, high);
    setbits(w, storage.get(), 1, low);
    setbits(w, storage.get(), 2, -1);
    EXPECT_EQ(getbits(w, storage.get(), 0), w == 1 ? 0 : high) << w;
    EXPECT_EQ(getbits(w, storage.get(), 1), low) << w;
    EXPECT_EQ(getbits(w, storage.get(), 2), -1) << w;
    EXPECT_EQ(getubits(w, storage.get(), 2), (uint64_t{1} << w) - 1) << w;
  }
}
