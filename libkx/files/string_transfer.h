#pragma once
// Moving bytes between files and string variables.
#include <cstdint>
#include <string_view>

struct kxs;

namespace kx {
// target = the count bytes at source (copied; source may be any buffer).
void assign_bytes(kxs* target, const uint8_t* source, int64_t count);
// A new temporary string holding text.
kxs* new_temporary(std::string_view text);
// The bytes of s.
inline std::string_view bytes_of(const kxs* s);
}  // namespace kx

#include "values/string_descriptor.h"

inline std::string_view kx::bytes_of(const kxs* s) {
  return std::string_view(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length));
}
