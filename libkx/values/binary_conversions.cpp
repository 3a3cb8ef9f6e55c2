#include "values/binary_conversions.h"

#include <cstring>

#include "base/error.h"
#include "values/string_results.h"

namespace {

// The x87 extended value occupies the first 10 bytes of a long double.
constexpr size_t float_value_bytes = 10;
constexpr int32_t float_string_bytes = 32;
static_assert(sizeof(kx_float) >= float_value_bytes);

kxs* bytes_of(const void* value, size_t n, int32_t size) {
  if (new_error) return kx::empty_result();
  kxs* r = kxs_new(size, 1);
  std::memcpy(r->chars, value, n);
  std::memset(r->chars + n, 0, static_cast<size_t>(size) - n);
  return r;
}

template <class T>
kxs* bytes_of(T v) {
  return bytes_of(&v, sizeof v, sizeof v);
}

// Copies n bytes of s into value when s has at least need of them.
bool read_bytes(const kxs* s, void* value, size_t n, int32_t need) {
  if (new_error) return false;
  if (s->length < need) {
    error(err::illegal_function_call);
    return false;
  }
  std::memcpy(value, s->chars, n);
  return true;
}

template <class T>
T value_of(const kxs* s) {
  T v{};
  return read_bytes(s, &v, sizeof v, sizeof v) ? v : T{};
}

bool bit_count_valid(uint32_t bits) {
  if (bits >= 1 && bits <= 64) return true;
  error(err::illegal_function_call);
  return false;
}

uint64_t low_bits(uint64_t v, uint32_t bits) { return bits == 64 ? v : v & ((uint64_t{1} << bits) - 1); }

int32_t byte_count(uint32_t bits) { return static_cast<int32_t>((bits + 7) / 8); }

// The low bits of the value held in the first bytes of s; 0 (with error 5
// for a bad bit count or too few bytes) when there is none.
bool read_bits(const kxs* s, uint32_t bits, uint64_t* v) {
  if (new_error || !bit_count_valid(bits)) return false;
  uint64_t raw = 0;  // little-endian: the low bytes of a uint64_t
  if (!read_bytes(s, &raw, static_cast<size_t>(byte_count(bits)), byte_count(bits))) return false;
  *v = low_bits(raw, bits);
  return true;
}

}  // namespace

kxs* b2string(int8_t v) { return bytes_of(v); }
kxs* ub2string(uint8_t v) { return bytes_of(v); }
kxs* i2string(int16_t v) { return bytes_of(v); }
kxs* ui2string(uint16_t v) { return bytes_of(v); }
kxs* l2string(int32_t v) { return bytes_of(v); }
kxs* ul2string(uint32_t v) { return bytes_of(v); }
kxs* i642string(int64_t v) { return bytes_of(v); }
kxs* ui642string(uint64_t v) { return bytes_of(v); }
kxs* s2string(float v) { return bytes_of(v); }
kxs* d2string(double v) { return bytes_of(v); }
// Only the value's own bytes: the padding of a long double is undefined.
kxs* f2string(kx_float v) { return bytes_of(&v, float_value_bytes, float_string_bytes); }

int8_t string2b(kxs* s) { return value_of<int8_t>(s); }
uint8_t string2ub(kxs* s) { return value_of<uint8_t>(s); }
int16_t string2i(kxs* s) { return value_of<int16_t>(s); }
uint16_t string2ui(kxs* s) { return value_of<uint16_t>(s); }
int32_t string2l(kxs* s) { return value_of<int32_t>(s); }
uint32_t string2ul(kxs* s) { return value_of<uint32_t>(s); }
int64_t string2i64(kxs* s) { return value_of<int64_t>(s); }
uint64_t string2ui64(kxs* s) { return value_of<uint64_t>(s); }
float string2s(kxs* s) { return value_of<float>(s); }
double string2d(kxs* s) { return value_of<double>(s); }

kx_float string2f(kxs* s) {
  kx_float v = 0;
  return read_bytes(s, &v, float_value_bytes, float_string_bytes) ? v : 0;
}

kxs* bit2string(uint32_t bits, int64_t v) { return ubit2string(bits, static_cast<uint64_t>(v)); }

kxs* ubit2string(uint32_t bits, uint64_t v) {
  if (new_error) return kx::empty_result();
  if (!bit_count_valid(bits)) return kx::empty_result();
  const uint64_t kept = low_bits(v, bits);
  return bytes_of(&kept, static_cast<size_t>(byte_count(bits)), byte_count(bits));
}

int64_t string2bit(kxs* s, uint32_t bits) {
  uint64_t v = 0;
  if (!read_bits(s, bits, &v)) return 0;
  if (bits < 64 && (v >> (bits - 1)) & 1) v |= ~uint64_t{0} << bits;
  return static_cast<int64_t>(v);
}

uint64_t string2ubit(kxs* s, uint32_t bits) {
  uint64_t v = 0;
  return read_bits(s, bits, &v) ? v : 0;
}
