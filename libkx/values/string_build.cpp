#include "values/string_build.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "values/string_results.h"

namespace {

kxs* repeated(int32_t n, uint8_t byte) {
  const int32_t count = std::max(n, 0);
  kxs* r = kxs_new(count, 1);
  if (count) std::memset(r->chars, byte, static_cast<size_t>(count));
  return r;
}

}  // namespace

kxs* func_chr(int32_t n) {
  if (new_error) return kx::empty_result();
  if (n < 0 || n > 255) {
    error(err::illegal_function_call);
    return kx::empty_result();
  }
  kxs* r = kxs_new(1, 1);
  r->chars[0] = static_cast<uint8_t>(n);
  return r;
}

kxs* func_space(int32_t n) {
  if (new_error) return kx::empty_result();
  return repeated(n, ' ');
}

kxs* func_string(int32_t n, int32_t code) {
  if (new_error) return kx::empty_result();
  return repeated(n, static_cast<uint8_t>(code));
}

kxs* func_string(int32_t n, kxs* s) {
  if (new_error) return kx::empty_result();
  if (s->length == 0) {
    error(err::illegal_function_call);
    return kx::empty_result();
  }
  return repeated(n, s->chars[0]);
}

kxs* func_varptr_helper(uint8_t type, uint16_t offset) {
  if (new_error) return kx::empty_result();
  kxs* r = kxs_new(3, 1);
  r->chars[0] = type;
  r->chars[1] = static_cast<uint8_t>(offset & 0xFF);
  r->chars[2] = static_cast<uint8_t>(offset >> 8);
  return r;
}
