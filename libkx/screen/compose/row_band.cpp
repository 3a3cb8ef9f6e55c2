#include "screen/compose/row_band.h"

#include <cstring>

kx::row_band kx::changed_rows(const void* before, const void* after, size_t row_bytes, int32_t h) {
  const auto* a = static_cast<const uint8_t*>(before);
  const auto* b = static_cast<const uint8_t*>(after);
  const auto row_same = [&](int32_t y) {
    return std::memcmp(a + size_t(y) * row_bytes, b + size_t(y) * row_bytes, row_bytes) == 0;
  };
  row_band band{0, h - 1, true};
  while (band.first <= band.last && row_same(band.first)) ++band.first;
  while (band.last >= band.first && row_same(band.last)) --band.last;
  return band;
}
