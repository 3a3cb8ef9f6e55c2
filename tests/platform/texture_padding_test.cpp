// The padded copy a texture upload falls back on: its exact layout, and a
// copy too large for memory reported as missing instead of thrown.
#include "platform/texture_padding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// A refused allocation comes back as null under AddressSanitizer too, as
// it does in a plain build, instead of ending the test.
extern "C" [[gnu::used]] const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

TEST(TexturePadding, PadsToPowersOfTwoRepeatingTheLastColumnAndRowOnce) {
  // 5 x 3 pixels, each holding 100 * row + column + 1.
  constexpr int32_t w = 5, h = 3;
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) pixels.push_back(100 * y + x + 1);
  }
  const kx::padded_pixels padded = kx::pad_to_powers_of_two(pixels.data(), w, h);
  ASSERT_NE(padded.pixels, nullptr);
  EXPECT_EQ(padded.width, 8u);
  EXPECT_EQ(padded.height, 4u);
  // Rows 0-2: the pixels, the last one again, then zeros; row 3 repeats
  // row 2 whole.
  const std::vector<uint32_t> want = {
      1,   2,   3,   4,   5,   5,   0, 0,  //
      101, 102, 103, 104, 105, 105, 0, 0,  //
      201, 202, 203, 204, 205, 205, 0, 0,  //
      201, 202, 203, 204, 205, 205, 0, 0,
  };
  EXPECT_EQ(std::vector<uint32_t>(padded.pixels.get(), padded.pixels.get() + want.size()), want);
  // Sides that are powers of two already get nothing added.
  const uint32_t four[4] = {7, 8, 9, 10};
  const kx::padded_pixels same = kx::pad_to_powers_of_two(four, 2, 2);
  ASSERT_NE(same.pixels, nullptr);
  EXPECT_EQ(same.width, 2u);
  EXPECT_EQ(same.height, 2u);
  EXPECT_EQ(std::vector<uint32_t>(same.pixels.get(), same.pixels.get() + 4), std::vector<uint32_t>(four, four + 4));
}

TEST(TexturePadding, ACopyMemoryCannotHoldComesBackEmpty) {
  // Padded to 2^30 x 2^30 and 2^31 x 2^31 pixels: 2^62 bytes, and a byte
  // count that does not fit 64 bits. Neither reads the pixels nor throws.
  const uint32_t one = 1;
  for (int32_t side : {(1 << 30) - 1, INT32_MAX}) {
    const kx::padded_pixels padded = kx::pad_to_powers_of_two(&one, side, side);
    EXPECT_EQ(padded.pixels, nullptr) << side;
    EXPECT_EQ(padded.width, 0u) << side;
    EXPECT_EQ(padded.height, 0u) << side;
  }
}

}  // namespace
