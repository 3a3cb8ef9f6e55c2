#pragma once
// 32-bit rotation, used by the line-style pattern of LINE.
#include <bit>
#include <cstdint>

constexpr uint32_t rotateLeft(uint32_t value, uint32_t count) {
  return std::rotl(value, static_cast<int>(count & 31));
}
