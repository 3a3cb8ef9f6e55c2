#include <cstring>

#include "files/file_handles.h"

namespace {
int64_t last_read_count = 0;

gfs_file_struct& record_of(int32_t h) { return gfs_file[static_cast<size_t>(h)]; }
}  // namespace

int32_t gfs_setpos(int32_t h, int64_t position) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  if (position < 0) return gfs_bad_argument;
  // The stream keeps no position of its own: this one serves both reading
  // and writing. Positions beyond the end are allowed.
  record_of(h).position = position;
  return gfs_ok;
}

int64_t gfs_getpos(int32_t h) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  return record_of(h).position;
}

int32_t gfs_write(int32_t h, int64_t position, const uint8_t* data, int64_t n) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  gfs_file_struct& record = record_of(h);
  if (!record.can_write || !record.stream) return gfs_access_denied;
  if (n < 0) return gfs_bad_argument;
  if (position != -1) {
    const int32_t moved = gfs_setpos(h, position);
    if (moved) return moved;
  }
  if (record.stream->write(record.position, data, n) != 0) return kx::stream_failure_code(record.stream->last_error());
  record.position += n;
  return gfs_ok;
}

int32_t gfs_read(int32_t h, int64_t position, uint8_t* data, int64_t n) {
  last_read_count = 0;
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  gfs_file_struct& record = record_of(h);
  if (!record.can_read || !record.stream) return gfs_access_denied;
  if (n < 0) return gfs_bad_argument;
  if (position != -1) {
    const int32_t moved = gfs_setpos(h, position);
    if (moved) return moved;
  }
  const int64_t got = record.stream->read(record.position, data, n);
  if (got < 0) return kx::stream_failure_code(record.stream->last_error());
  last_read_count = got;
  record.position += got;
  if (got < n) {
    std::memset(data + got, 0, static_cast<size_t>(n - got));
    record.eof_flag_passed = 1;
    return gfs_short_read;
  }
  record.eof_flag_passed = 0;
  return gfs_ok;
}

int64_t gfs_read_bytes() { return last_read_count; }

int64_t gfs_lof(int32_t h) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  gfs_file_struct& record = record_of(h);
  if (record.is_screen) return gfs_bad_argument;
  if (!record.can_read && !record.can_write) return gfs_no_access;
  const int64_t length = record.stream->length();
  if (length < 0) return kx::stream_failure_code(record.stream->last_error());
  if (!record.can_write) record.known_length = length;
  return length;
}

int32_t gfs_eof_reached(int32_t h) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  gfs_file_struct& record = record_of(h);
  // A file this record cannot write only grows by others' hands: while the
  // position is inside the length last seen, it has not reached the end.
  if (!record.can_write && record.known_length > record.position) return 0;
  const int64_t length = gfs_lof(h);
  if (length < 0) return 0;
  return record.position >= length ? 1 : 0;
}

int32_t gfs_eof_passed(int32_t h) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  return record_of(h).eof_flag_passed;
}
