#pragma once
#include <cstddef>
#include <cstring>

inline void ZeroMemory(void* address, size_t length) {
  if (length) std::memset(address, 0, length);
}
