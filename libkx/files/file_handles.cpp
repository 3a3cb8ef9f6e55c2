#include "files/file_handles.h"

#include <cerrno>

int32_t gfs_new() {
  int32_t h;
  if (!gfs_freed.empty()) {
    h = gfs_freed.back();
    gfs_freed.pop_back();
  } else {
    gfs_file.emplace_back();
    h = static_cast<int32_t>(gfs_file.size() - 1);
  }
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  record = gfs_file_struct{};
  record.record_id = gfs_nextid++;
  return h;
}

int32_t gfs_validhandle(int32_t h) {
  if (h < 0 || static_cast<size_t>(h) >= gfs_file.size()) return 0;
  const gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  return record.is_open || record.is_screen ? 1 : 0;
}

int32_t gfs_fileno_valid(int32_t n) {
  if (n < 1) return gfs_bad_handle;
  return gfs_fileno.contains(n) ? 1 : 0;
}

int32_t gfs_fileno_freefile() {
  int32_t n = 1;
  for (const auto& [number, handle] : gfs_fileno) {
    if (number != n) break;
    ++n;
  }
  return n;
}

void gfs_fileno_use(int32_t n, int32_t h) {
  gfs_fileno[n] = h;
  gfs_file[static_cast<size_t>(h)].file_number = n;
}

void gfs_fileno_free(int32_t n) { gfs_fileno.erase(n); }

int32_t gfs_free(int32_t h) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  record.is_open = 0;
  record.is_screen = 0;
  if (record.file_number) {
    gfs_fileno_free(record.file_number);
    record.file_number = 0;
  }
  gfs_freed.push_back(h);
  return gfs_ok;
}

int32_t gfs_close(int32_t h) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  int32_t result = gfs_ok;
  if (record.stream && record.stream->close() != 0) result = kx::stream_failure_code(record.stream->last_error());
  record.stream.reset();
  record.record_buffer.reset();
  // FIELDed strings keep their links; the record id no longer matches.
  record.field_list.clear();
  record.field_list.shrink_to_fit();
  gfs_free(h);
  return result;
}

int32_t gfs_flush_all() {
  int32_t result = gfs_ok;
  for (gfs_file_struct& record : gfs_file) {
    if (record.is_open && record.stream && record.stream->flush() != 0 && result == gfs_ok)
      result = kx::stream_failure_code(record.stream->last_error());
  }
  return result;
}

char* fixdir(char* name) {
  for (char* c = name; *c; ++c) {
    if (*c == '\\') *c = '/';
  }
  return name;
}

namespace kx {

int32_t stream_failure_code(int error_number) {
  switch (error_number) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return gfs_disk_full;
    case EIO:
    case ENXIO:
      return gfs_device_error;
    default:
      return gfs_stream_failure;
  }
}

void file_tables_reset() {
  for (gfs_file_struct& record : gfs_file) record.stream.reset();
  gfs_file.clear();
  gfs_freed.clear();
  gfs_fileno.clear();
  gfs_nextid = 1;
}

}  // namespace kx
