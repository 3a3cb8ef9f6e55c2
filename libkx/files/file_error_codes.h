#pragma once
// How the handle layer's result codes become BASIC error numbers.
#include <array>
#include <cstddef>
#include <cstdint>

namespace kx {

struct code_to_error {
  int32_t code;
  int32_t error;
};

// Data operations (read, write, position, length).
inline constexpr std::array<code_to_error, 6> data_code_errors{{
    {-2, 258},  // Invalid handle
    {-3, 54},   // Bad file mode
    {-4, 5},    // Illegal function call
    {-7, 70},   // Permission denied
    {-13, 61},  // Disk full
    {-14, 57},  // Device I/O error
}};
inline constexpr int32_t data_code_default_error = 75;  // Path/File access error

// OPEN.
inline constexpr std::array<code_to_error, 9> open_code_errors{{
    {-5, 53},   // File not found
    {-6, 76},   // Path not found
    {-7, 70},   // Permission denied
    {-8, 68},   // Device unavailable
    {-9, 75},   // Path/File access error: the name is a directory
    {-11, 64},  // Bad file name
    {-12, 54},  // Bad file mode
    {-13, 61},  // Disk full
    {-14, 57},  // Device I/O error
}};
inline constexpr int32_t open_code_default_error = 53;

template <std::size_t N>
constexpr int32_t error_for_code(const std::array<code_to_error, N>& table, int32_t code, int32_t otherwise) {
  for (const code_to_error& entry : table) {
    if (entry.code == code) return entry.error;
  }
  return otherwise;
}

}  // namespace kx
