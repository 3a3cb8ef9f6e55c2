#pragma once
// The type codes compiled code passes for a variable being read by READ,
// INPUT # or INPUT: the size in bits in the low nine bits, and flags above.
#include <cstdint>

namespace kx::type_code {

inline constexpr int32_t size_mask = 511;
inline constexpr int32_t line_input = 512;         // LINE INPUT, on the first variable
inline constexpr int32_t not_stored = 16777216;    // validated only; compiled code stores it
inline constexpr int32_t is_unsigned = 268435456;
inline constexpr int32_t is_floating = 536870912;
inline constexpr int32_t is_string = 1073741824;

inline constexpr int32_t single_bits = 32;
inline constexpr int32_t double_bits = 64;
inline constexpr int32_t float_bits = 256;

constexpr int32_t bits(int32_t code) { return code & size_mask; }
// Bits 3 to 8 of the size read as a byte count: the storage size.
constexpr int32_t storage_bytes(int32_t code) { return (code & size_mask) >> 3; }

}  // namespace kx::type_code
