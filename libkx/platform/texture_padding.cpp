#include "platform/texture_padding.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

uint64_t next_power_of_two(uint64_t v) {
  uint64_t p = 1;
  while (p < v) p <<= 1;
  return p;
}

}  // namespace

kx::padded_pixels kx::pad_to_powers_of_two(const uint32_t* pixels, int32_t w, int32_t h) noexcept {
  padded_pixels out;
  const uint64_t pw = next_power_of_two(static_cast<uint64_t>(w));
  const uint64_t ph = next_power_of_two(static_cast<uint64_t>(h));
  // Both at most 2^31, so the count cannot wrap, but its bytes can.
  const uint64_t count = pw * ph;
  if (count > SIZE_MAX / sizeof(uint32_t)) return out;
  out.pixels.reset(new (std::nothrow) uint32_t[count]());
  if (!out.pixels) return out;
  out.width = static_cast<uint32_t>(pw);
  out.height = static_cast<uint32_t>(ph);
  uint32_t* padded = out.pixels.get();
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = padded + uint64_t(y) * pw;
    const uint32_t* source = pixels + uint64_t(y) * uint64_t(w);
    std::memcpy(row, source, uint64_t(w) * 4);
    if (uint64_t(w) < pw) row[w] = source[w - 1];
  }
  if (uint64_t(h) < ph) std::memcpy(padded + uint64_t(h) * pw, padded + uint64_t(h - 1) * pw, pw * 4);
  return out;
}
