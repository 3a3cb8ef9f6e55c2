#include <cerrno>

#include "files/file_handles.h"

namespace {

using lock_kind = kx::file_stream::lock_kind;

// Locks or releases bytes start to end of handle h. A record that can
// write takes an exclusive lock; a read-only one can only take a shared
// lock, which still keeps writers' locks out.
int32_t apply(int32_t h, int64_t start, int64_t end, bool release) {
  if (!gfs_validhandle(h)) return gfs_bad_handle;
  if (start < -1 || end < -1) return gfs_bad_argument;
  const int64_t first = start == -1 ? 0 : start;
  if (end != -1 && end < first) return gfs_bad_argument;
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  if (!record.stream) return gfs_ok;  // the screen device has nothing to lock
  // Length 0 covers everything from first on, bytes not yet written too.
  const int64_t count = end == -1 ? 0 : end - first + 1;
  const lock_kind kind = release ? lock_kind::release : record.can_write ? lock_kind::exclusive : lock_kind::shared;
  if (record.stream->lock(kind, first, count) == 0) return gfs_ok;
  return record.stream->last_error() == EAGAIN ? gfs_stream_failure : gfs_no_access;
}

}  // namespace

int32_t gfs_lock(int32_t h, int64_t start, int64_t end) { return apply(h, start, end, false); }
int32_t gfs_unlock(int32_t h, int64_t start, int64_t end) { return apply(h, start, end, true); }
