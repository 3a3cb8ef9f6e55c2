#include "files/file_open_close.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <new>
#include <vector>

#include "base/error.h"
#include "files/connection_routing.h"
#include "files/file_errors.h"
#include "files/file_handles.h"
#include "values/string_descriptor.h"

namespace {

constexpr uint8_t end_of_file_byte = 26;
constexpr int64_t default_record_length = 128;

struct mode_entry {
  uint8_t file_type;
  int32_t access;
  int32_t how;
};
// Indexed by mode number 1-5.
constexpr mode_entry mode_table[] = {
    {0, 0, 0},
    {file_type_random, 3, 1},
    {file_type_binary, 3, 1},
    {file_type_input, 1, 0},
    {file_type_output, 2, 2},
    {file_type_output, 2, 1},
};
constexpr int32_t mode_append = 5;
// ACCESS clause 1-3 and lock clause 1-4.
constexpr int32_t access_clause[] = {0, 3, 1, 2};
constexpr int32_t lock_clause[] = {0, 0, 3, 1, 2};

void close_failed_open(int32_t h) { gfs_close(h); }

}  // namespace

void sub_open(kxs* name, int32_t mode, int32_t access, int32_t lock, int32_t n, int64_t record_length,
              int32_t length_given) {
  if (new_error) return;
  if (mode == 0) mode = 1;
  if (mode < 1 || mode > 5) {
    error(err::bad_file_mode);
    return;
  }
  if (length_given && (record_length == 0 || record_length < -1 || record_length > INT32_MAX)) {
    error(err::illegal_function_call);
    return;
  }
  if (access < 0 || access > 3 || lock < 0 || lock > 4) {
    error(err::illegal_function_call);
    return;
  }
  if (n < 1) {
    error(err::bad_file_name_or_number);
    return;
  }
  if (gfs_fileno_valid(n) == 1) {
    error(err::file_already_open);
    return;
  }
  const mode_entry entry = mode_table[mode];
  const int32_t chosen_access = access ? access_clause[access] : entry.access;
  const int32_t restrictions = lock_clause[lock];
  // Only APPEND sends every write to the end of the file; RANDOM and BINARY
  // opened ACCESS WRITE still write at the record or byte named.
  const bool append = mode == mode_append && chosen_access == 2;
  const std::string_view text(reinterpret_cast<const char*>(name->chars), static_cast<size_t>(name->length));
  const int32_t h = gfs_open_name(text, chosen_access, restrictions, entry.how, append);
  if (h < 0) {
    kx::raise_open_error(h);
    return;
  }
  gfs_fileno_use(n, h);
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  record.file_type = entry.file_type;
  record.column = 1;
  if (entry.file_type == file_type_random) {
    record.record_length = length_given && record_length != -1 ? record_length : default_record_length;
    record.record_buffer.reset(new (std::nothrow) uint8_t[static_cast<size_t>(record.record_length)]());
    if (!record.record_buffer) {
      close_failed_open(h);
      error(err::out_of_memory);
      return;
    }
  }
  if (record.is_screen) return;
  if (mode == mode_append) {
    const int64_t length = gfs_lof(h);
    if (length > 0) gfs_setpos(h, length);
  }
  if (entry.file_type == file_type_input && record.can_read) {
    const int64_t length = gfs_lof(h);
    if (length > 0) {
      uint8_t first = 0;
      const int32_t result = gfs_read(h, -1, &first, 1);
      if (result != gfs_ok) {
        close_failed_open(h);
        error(result == gfs_stream_failure ? err::permission_denied : err::path_file_access_error);
        return;
      }
      // A file that starts with the end-of-file byte is empty.
      if (first == end_of_file_byte) gfs_file[static_cast<size_t>(h)].eof_flag_passed = 1;
      gfs_setpos(h, 0);
    }
  }
}

void sub_open_shortform(kxs* mode, int32_t n, kxs* name, int64_t record_length, int32_t length_given) {
  if (new_error) return;
  int32_t number = 0;
  if (mode->length > 0) {
    switch (mode->chars[0]) {
      case 'R':
      case 'r':
        number = 1;
        break;
      case 'B':
      case 'b':
        number = 2;
        break;
      case 'I':
      case 'i':
        number = 3;
        break;
      case 'O':
      case 'o':
        number = 4;
        break;
      case 'A':
      case 'a':
        number = 5;
        break;
    }
  }
  if (number == 0) {
    error(err::bad_file_mode);
    return;
  }
  sub_open(name, number, 0, 0, n, record_length, length_given);
}

void sub_close(int32_t n, int32_t n_given) {
  if (new_error) return;
  if (!n_given) {
    kx::close_all_files();
    return;
  }
  if (n < 0) {
    kx::connection_close(n);
    return;
  }
  // A number not in use is ignored.
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) return;
  kx::raise_data_error(gfs_close(h));
}

namespace kx {

namespace {

// Closes every connection and file: the first failure's code, or gfs_ok.
int32_t close_every_file() {
  connections().close_all();
  std::vector<int32_t> handles;
  handles.reserve(gfs_fileno.size());
  for (const auto& [number, handle] : gfs_fileno) handles.push_back(handle);
  int32_t first_failure = gfs_ok;
  for (const int32_t h : handles) {
    const int32_t result = gfs_close(h);
    if (result != gfs_ok && first_failure == gfs_ok) first_failure = result;
  }
  return first_failure;
}

}  // namespace

void close_all_files() { raise_data_error(close_every_file()); }

void close_all_files_at_exit() {
  const int32_t failure = close_every_file();
  if (failure == gfs_ok) return;
  const uint32_t number = data_error_number(failure);
  const std::string_view text = error_text(number);
  std::fprintf(stderr, "%s: the files could not be closed in full: %.*s (error %u)\n", program_invocation_short_name,
               static_cast<int>(text.size()), text.data(), number);
  std::fflush(stderr);
}

void flush_all_files() { gfs_flush_all(); }

}  // namespace kx
