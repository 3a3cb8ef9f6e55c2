#include "values/unicode_map.h"

#include <array>
#include <atomic>

#include "base/error.h"
#include "values/codepage437.h"

namespace {

struct mapping {
  std::array<std::atomic<uint16_t>, 256> entries;
  mapping() {
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = codepage437_to_unicode16[i];
  }
};

std::array<std::atomic<uint16_t>, 256>& table() {
  static mapping m;
  return m.entries;
}

}  // namespace

void kx::unicode_map_reset() {
  for (size_t i = 0; i < 256; ++i) table()[i] = codepage437_to_unicode16[i];
}

uint16_t kx::mapped_unicode(uint8_t index) { return table()[index].load(std::memory_order_relaxed); }

int32_t kx::mapped_position(uint32_t code) {
  for (int32_t i = 0; i < 256; ++i) {
    if (table()[static_cast<size_t>(i)].load(std::memory_order_relaxed) == code) return i;
  }
  return -1;
}

void sub__mapunicode(int32_t code, int32_t index) {
  if (new_error.load()) return;
  if (code < 0 || code > 65535 || index < 0 || index > 255) {
    error(err::illegal_function_call);
    return;
  }
  table()[static_cast<size_t>(index)] = static_cast<uint16_t>(code);
}

int32_t func__mapunicode(int32_t index) {
  if (new_error.load()) return 0;
  if (index < 0 || index > 255) {
    error(err::illegal_function_call);
    return 0;
  }
  return kx::mapped_unicode(static_cast<uint8_t>(index));
}
