#pragma once
// How the handle layer's result codes become BASIC error numbers.
#include <array>
#include <cstddef>
#include <cstdint>

#include "base/error_numbers.h"
#include "files/file_handles.h"

namespace kx {

struct code_to_error {
  int32_t code;
  int32_t error;
};

// Data operations (read, write, position, length).
inline constexpr std::array<code_to_error, 6> data_code_errors{{
    {gfs_bad_handle, err::invalid_handle},
    {gfs_access_denied, err::bad_file_mode},
    {gfs_bad_argument, err::illegal_function_call},
    {gfs_stream_failure, err::permission_denied},
    {gfs_disk_full, err::disk_full},
    {gfs_device_error, err::device_io_error},
}};
inline constexpr int32_t data_code_default_error = err::path_file_access_error;

// OPEN.
inline constexpr std::array<code_to_error, 9> open_code_errors{{
    {gfs_not_found, err::file_not_found},
    {gfs_path_not_found, err::path_not_found},
    {gfs_stream_failure, err::permission_denied},
    {gfs_device_unavailable, err::device_unavailable},
    {gfs_is_directory, err::path_file_access_error},
    {gfs_bad_name, err::bad_file_name},
    {gfs_bad_mode, err::bad_file_mode},
    {gfs_disk_full, err::disk_full},
    {gfs_device_error, err::device_io_error},
}};
inline constexpr int32_t open_code_default_error = err::file_not_found;

template <std::size_t N>
constexpr int32_t error_for_code(const std::array<code_to_error, N>& table, int32_t code, int32_t otherwise) {
  for (const code_to_error& entry : table) {
    if (entry.code == code) return entry.error;
  }
  return otherwise;
}

}  // namespace kx
