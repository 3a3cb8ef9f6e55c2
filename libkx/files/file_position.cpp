#include "files/file_position.h"

#include "base/error.h"
#include "files/connection_routing.h"
#include "files/file_errors.h"
#include "files/file_handles.h"
#include "files/file_records.h"

namespace {

constexpr int64_t sequential_block = 128;

// The handle bound to n, or -1 with error 52 raised.
int32_t bound(int32_t n) {
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) error(err::bad_file_name_or_number);
  return h;
}

gfs_file_struct& record_of(int32_t h) { return gfs_file[static_cast<size_t>(h)]; }

// The handle bound to n when it is a file, not the screen device; else -1
// with the error (52, or 5 for the screen) raised.
int32_t bound_file(int32_t n) {
  const int32_t h = bound(n);
  if (h >= 0 && record_of(h).is_screen) {
    error(err::illegal_function_call);
    return -1;
  }
  return h;
}

}  // namespace

int32_t func_eof(int32_t n) {
  if (new_error) return 0;
  if (n < 0) return kx::connection_eof(n);
  const int32_t h = bound_file(n);
  if (h < 0) return 0;
  const gfs_file_struct& record = record_of(h);
  if (record.file_type == file_type_input && gfs_eof_reached(h) == 1) return -1;
  return record.eof_flag_passed ? -1 : 0;
}

int64_t func_lof(int32_t n) {
  if (new_error) return 0;
  if (n < 0) return kx::connection_lof(n);
  const int32_t h = bound(n);
  if (h < 0) return 0;
  const int64_t length = gfs_lof(h);
  if (length < 0) {
    kx::raise_data_error(length);
    return 0;
  }
  return length;
}

int64_t func_loc(int32_t n) {
  if (new_error) return 0;
  const int32_t h = bound_file(n);
  if (h < 0) return 0;
  const gfs_file_struct& record = record_of(h);
  switch (record.file_type) {
    case file_type_random:
      return record.position / record.record_length + 1;
    case file_type_binary:
      return record.position;
    default:
      return (record.position - 1) / sequential_block + 1;  // truncating: 1 at position 0
  }
}

int64_t func_seek(int32_t n) {
  if (new_error) return 0;
  const int32_t h = bound(n);
  if (h < 0) return 0;
  const gfs_file_struct& record = record_of(h);
  if (record.is_screen) return 0;
  if (record.file_type == file_type_random) return record.position / record.record_length + 1;
  return record.position + 1;
}

void sub_seek(int32_t n, int64_t position) {
  if (new_error) return;
  const int32_t h = bound(n);
  if (h < 0) return;
  const gfs_file_struct& record = record_of(h);
  int64_t byte = position;
  if (record.file_type == file_type_random) {
    const int64_t start = kx::record_position(record, position);
    if (start < 0) return;
    byte = start + 1;
  }
  if (byte < 1) {
    error(err::bad_record_number);
    return;
  }
  kx::raise_data_error(gfs_setpos(h, byte - 1));
}

int32_t func_freefile() {
  if (new_error) return 0;
  return gfs_fileno_freefile();
}

namespace {

using lock_operation = int32_t (*)(int32_t, int64_t, int64_t);

void lock_range(int32_t n, int64_t start, int64_t end, int32_t given, lock_operation operation) {
  if (new_error) return;
  const int32_t h = bound(n);
  if (h < 0) return;
  const gfs_file_struct& record = record_of(h);
  int64_t first = -1;
  int64_t last = -1;
  const bool sequential = record.file_type == file_type_input || record.file_type == file_type_output;
  if (!sequential) {
    const bool random = record.file_type == file_type_random;
    const int64_t size = random ? record.record_length : 1;
    if (given & 1) {
      if (start - 1 < 0 || start - 1 > INT64_MAX / size) {
        error(err::illegal_function_call);
        return;
      }
      first = (start - 1) * size;
    }
    if (given & 2) {
      if (end - 1 < 0 || end > INT64_MAX / size) {
        error(err::illegal_function_call);
        return;
      }
      last = random ? end * size - 1 : end - 1;
    } else if (given & 1) {
      last = first + size - 1;
    }
  }
  kx::raise_data_error(operation(h, first, last));
}

}  // namespace

void sub_lock(int32_t n, int64_t start, int64_t end, int32_t given) { lock_range(n, start, end, given, gfs_lock); }
void sub_unlock(int32_t n, int64_t start, int64_t end, int32_t given) {
  lock_range(n, start, end, given, gfs_unlock);
}
