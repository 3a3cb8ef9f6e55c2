#pragma once
// The band of pixel rows in which two frames of the same size differ: the
// renderer uploads and presents only that band.
#include <cstdint>

namespace kx {

struct row_band {
  int32_t first = 0, last = -1;  // inclusive; empty when last < first
  // True when the band was found by comparing with the frame shown before;
  // false when the whole frame must be taken as new.
  bool compared = true;
  bool empty() const { return last < first; }
};

// The first and last rows of w x h pixels that differ between before and
// after (an empty band when none does).
row_band changed_rows(const uint32_t* before, const uint32_t* after, int32_t w, int32_t h);

}  // namespace kx
