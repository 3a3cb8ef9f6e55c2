#include "screen/text/unicode_convert.h"

#include <cstring>

#include "values/codepage437.h"

namespace {

constexpr uint32_t surrogate_first = 0xD800, low_surrogate_first = 0xDC00, surrogate_end = 0xE000;

// Writes one code point; returns the bytes written.
int32_t put_code(uint32_t code, int32_t to_kind, uint8_t* out) {
  if (to_kind == 32) {
    std::memcpy(out, &code, 4);
    return 4;
  }
  if (code < 0x10000) {
    const uint16_t unit = static_cast<uint16_t>(code);
    std::memcpy(out, &unit, 2);
    return 2;
  }
  code -= 0x10000;
  const uint16_t units[2] = {static_cast<uint16_t>(surrogate_first + (code >> 10)),
                             static_cast<uint16_t>(low_surrogate_first + (code & 0x3FF))};
  std::memcpy(out, units, 4);
  return 4;
}

}  // namespace

int32_t convert_unicode(int32_t from_kind, const void* src, int32_t src_bytes, int32_t to_kind, void* dst) {
  const auto* in = static_cast<const uint8_t*>(src);
  auto* out = static_cast<uint8_t*>(dst);
  if (to_kind != 16 && to_kind != 32) to_kind = 32;
  int32_t written = 0;
  if (src_bytes < 0) src_bytes = 0;
  if (from_kind == 1) {
    for (int32_t i = 0; i < src_bytes; ++i) written += put_code(codepage437_to_unicode16[in[i]], to_kind, out + written);
  } else if (from_kind == 16) {
    const int32_t units = src_bytes / 2;
    for (int32_t i = 0; i < units; ++i) {
      uint16_t u;
      std::memcpy(&u, in + 2 * i, 2);
      uint32_t code = u;
      if (u >= surrogate_first && u < low_surrogate_first && i + 1 < units) {
        uint16_t low;
        std::memcpy(&low, in + 2 * (i + 1), 2);
        if (low >= low_surrogate_first && low < surrogate_end) {
          code = 0x10000 + ((uint32_t(u) - surrogate_first) << 10) + (low - low_surrogate_first);
          ++i;
        }
      }
      written += put_code(code, to_kind, out + written);
    }
  } else {
    const int32_t units = src_bytes / 4;
    for (int32_t i = 0; i < units; ++i) {
      uint32_t code;
      std::memcpy(&code, in + 4 * i, 4);
      written += put_code(code, to_kind, out + written);
    }
  }
  std::memset(out + written, 0, to_kind == 32 ? 4 : 2);
  return written;
}
