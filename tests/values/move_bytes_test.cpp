#include "values/move_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

// Every length the short paths handle and a few beyond, at every overlap in
// both directions, against memmove.
TEST(move_bytes, AgreesWithMemmoveForEveryLengthAndOverlap) {
  constexpr int span = 48;
  for (int length = 0; length <= 40; ++length) {
    for (int from = 0; from + length <= span; ++from) {
      for (int to = 0; to + length <= span; ++to) {
        std::vector<uint8_t> ours(span), theirs(span);
        std::iota(ours.begin(), ours.end(), uint8_t{1});
        theirs = ours;
        kx::move_bytes(ours.data() + to, ours.data() + from, static_cast<uint64_t>(length));
        if (length) std::memmove(theirs.data() + to, theirs.data() + from, static_cast<size_t>(length));
        ASSERT_EQ(ours, theirs) << "length " << length << " from " << from << " to " << to;
      }
    }
  }
}
