#include "screen/row_band.h"

#include <cstddef>
#include <cstring>

kx::row_band kx::changed_rows(const uint32_t* before, const uint32_t* after, int32_t w, int32_t h) {
  const size_t row_bytes = size_t(w) * 4;
  const auto row_same = [&](int32_t y) {
    return std::memcmp(before + size_t(y) * w, after + size_t(y) * w, row_bytes) == 0;
  };
  row_band band{0, h - 1, true};
  while (band.first <= band.last && row_same(band.first)) ++band.first;
  while (band.last >= band.first && row_same(band.last)) --band.last;
  return band;
}
