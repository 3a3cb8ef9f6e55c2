#pragma once
// The band of rows in which two pictures of the same size differ: the
// composer measures it between consecutive frames, and the renderer uploads
// and presents only that band.
#include <cstddef>
#include <cstdint>

namespace kx {

struct row_band {
  int32_t first = 0, last = -1;  // inclusive; empty when last < first
  // True when the band was found by comparing with the frame shown before;
  // false when the whole frame must be taken as new.
  bool compared = true;
  bool empty() const { return last < first; }
  // Takes row r into the band.
  void widen(int32_t r) {
    if (empty()) {
      first = last = r;
    } else if (r < first) {
      first = r;
    } else if (r > last) {
      last = r;
    }
  }
};

// The first and last of h rows of row_bytes bytes each that differ between
// before and after (an empty band when none does).
row_band changed_rows(const void* before, const void* after, size_t row_bytes, int32_t h);

// The same for w x h pixels of 32 bits.
inline row_band changed_rows(const uint32_t* before, const uint32_t* after, int32_t w, int32_t h) {
  return changed_rows(static_cast<const void*>(before), static_cast<const void*>(after), size_t(w) * 4, h);
}

}  // namespace kx
