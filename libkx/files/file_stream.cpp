#include "files/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace kx {

namespace {

constexpr int64_t buffer_capacity = 65536;
// Random access reads a little around each request; sequential reading
// doubles the read-ahead up to the whole buffer.
constexpr int64_t first_read_ahead = 4096;
// Room on the disk for buffered bytes is taken this much at a time.
constexpr int64_t reservation_block = 4096;

// Reads until count bytes or the end of the file: the bytes read, or -1.
int64_t read_fully(int fd, bool seekable, int64_t offset, uint8_t* destination, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = seekable ? ::pread(fd, destination + done, static_cast<size_t>(count - done), offset + done)
                               : ::read(fd, destination + done, static_cast<size_t>(count - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += n;
    if (!seekable) break;  // a pipe or terminal gives what it has
  }
  return done;
}

// Writes all count bytes: 0, or -1 with errno set.
int write_fully(int fd, bool positioned, int64_t offset, const uint8_t* source, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = positioned ? ::pwrite(fd, source + done, static_cast<size_t>(count - done), offset + done)
                                 : ::write(fd, source + done, static_cast<size_t>(count - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) {
      errno = ENOSPC;  // a device that takes nothing has no room
      return -1;
    }
    done += n;
  }
  return 0;
}

}  // namespace

std::unique_ptr<file_stream> file_stream::open(const char* path, int flags, int* error_number) {
  const int fd = ::open(path, flags | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    *error_number = errno;
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    *error_number = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return nullptr;
  }
  const bool seekable = ::lseek(fd, 0, SEEK_CUR) >= 0;
  std::unique_ptr<file_stream> stream(new (std::nothrow) file_stream(fd, (flags & O_APPEND) != 0, seekable));
  if (stream && S_ISREG(info.st_mode) && seekable) {
    stream->reserving_ = true;
    stream->reserved_end_ = info.st_size;
    stream->append_end_ = info.st_size;
  }
  if (!stream || !stream->buffer_) {
    ::close(fd);
    if (stream) stream->fd_ = -1;
    *error_number = ENOMEM;
    return nullptr;
  }
  return stream;
}

file_stream::file_stream(int fd, bool append, bool seekable)
    : fd_(fd), append_(append), seekable_(seekable), buffer_(new (std::nothrow) uint8_t[buffer_capacity]) {}

file_stream::~file_stream() {
  if (fd_ >= 0) {
    flush();
    ::close(fd_);
  }
}

int file_stream::fill(int64_t offset) {
  if (flush() != 0) return -1;
  read_ahead_ = offset == next_sequential_ ? std::min(buffer_capacity, std::max(first_read_ahead, read_ahead_ * 2))
                                           : first_read_ahead;
  window_start_ = offset;
  window_size_ = 0;
  const int64_t got = read_fully(fd_, seekable_, offset, buffer_.get(), read_ahead_);
  if (got < 0) {
    error_ = errno;
    return -1;
  }
  window_size_ = got;
  next_sequential_ = offset + got;
  return 0;
}

int64_t file_stream::read(int64_t offset, uint8_t* destination, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const int64_t at = offset + done;
    const int64_t window_end = window_start_ + window_size_;
    if (at >= window_start_ && at < window_end) {
      const int64_t n = std::min(count - done, window_end - at);
      std::memcpy(destination + done, buffer_.get() + (at - window_start_), static_cast<size_t>(n));
      done += n;
      continue;
    }
    if (count - done >= buffer_capacity) {
      // A large read goes straight to the file; the stored window stays
      // valid because it was flushed first.
      if (flush() != 0) return -1;
      const int64_t got = read_fully(fd_, seekable_, at, destination + done, count - done);
      if (got < 0) {
        error_ = errno;
        return -1;
      }
      return done + got;
    }
    if (fill(at) != 0) return -1;
    if (window_size_ == 0) break;  // end of the file
  }
  return done;
}

const uint8_t* file_stream::peek(int64_t offset, int64_t* count) {
  if (!(offset >= window_start_ && offset < window_start_ + window_size_) || append_) {
    if (append_ || fill(offset) != 0) {
      if (append_) error_ = EBADF;
      *count = -1;
      return nullptr;
    }
  }
  *count = window_start_ + window_size_ - offset;
  return buffer_.get() + (offset - window_start_);
}

int file_stream::store(int64_t offset, const uint8_t* source, int64_t count) {
  if (write_fully(fd_, seekable_ && !append_, offset, source, count) != 0) {
    error_ = errno;
    return -1;
  }
  return 0;
}

// Bytes that are only buffered must have their room on the disk before the
// write is answered, or a full disk would be noticed only when the buffer is
// stored, after many writes had been answered as done. The room is taken
// with fallocate (the file's length stays), a block at a time as the file
// grows; a file system without it leaves the failure to the store.
int file_stream::reserve(int64_t offset, int64_t count) {
  const int64_t end = offset + count;
  if (!reserving_ || end <= reserved_end_) return 0;
  const int64_t start = std::max(offset, reserved_end_);
  const int64_t block_end = (end + reservation_block - 1) / reservation_block * reservation_block;
  int result = ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, start, block_end - start);
  // Near the end of the disk the whole block may not fit when the bytes do.
  if (result != 0 && (errno == ENOSPC || errno == EDQUOT)) {
    result = ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, start, end - start);
  }
  if (result == 0) {
    reserved_end_ = std::max(end, block_end);
    return 0;
  }
  if (errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL || errno == ENODEV) {
    reserving_ = false;
    return 0;
  }
  error_ = errno;
  return -1;
}

int file_stream::write(int64_t offset, const uint8_t* source, int64_t count) {
  if (count <= 0) return 0;
  if (reserve(append_ ? append_end_ : offset, count) != 0) return -1;
  if (append_) append_end_ += count;
  if (append_ || !seekable_) {
    // Bytes go out in the order written: the window only collects them.
    if (dirty_end_ == dirty_begin_) window_size_ = 0;  // bytes read from a pipe are not written back
    if (window_size_ + count > buffer_capacity && flush() != 0) return -1;
    if (count >= buffer_capacity) return store(offset, source, count);
    std::memcpy(buffer_.get() + window_size_, source, static_cast<size_t>(count));
    window_size_ += count;
    dirty_end_ = window_size_;
    return 0;
  }
  const int64_t window_end = window_start_ + window_size_;
  if (count >= buffer_capacity) {
    if (flush() != 0) return -1;
    if (offset < window_end && offset + count > window_start_) window_size_ = 0;  // the window is overwritten
    return store(offset, source, count);
  }
  const bool joins_window = offset >= window_start_ && offset <= window_end && offset + count <= window_start_ + buffer_capacity;
  if (!joins_window) {
    if (flush() != 0) return -1;
    window_start_ = offset;
    window_size_ = 0;
    next_sequential_ = -1;
  }
  const int64_t at = offset - window_start_;
  std::memcpy(buffer_.get() + at, source, static_cast<size_t>(count));
  window_size_ = std::max(window_size_, at + count);
  if (dirty_end_ == dirty_begin_) {
    dirty_begin_ = at;
    dirty_end_ = at + count;
  } else {
    dirty_begin_ = std::min(dirty_begin_, at);
    dirty_end_ = std::max(dirty_end_, at + count);
  }
  return 0;
}

int file_stream::flush() {
  if (dirty_end_ == dirty_begin_) return 0;
  const bool sequential = append_ || !seekable_;
  const int result = store(window_start_ + dirty_begin_, buffer_.get() + dirty_begin_, dirty_end_ - dirty_begin_);
  dirty_begin_ = dirty_end_ = 0;
  // Bytes that could not be stored are dropped (the failure is reported),
  // and so is the window, which no longer matches the file.
  if (sequential || result != 0) window_size_ = 0;
  return result;
}

int64_t file_stream::length() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    error_ = errno;
    return -1;
  }
  int64_t size = info.st_size;
  if (append_ || !seekable_) return size + (dirty_end_ - dirty_begin_);
  if (dirty_end_ != dirty_begin_) size = std::max(size, window_start_ + dirty_end_);
  return size;
}

int file_stream::lock(lock_kind kind, int64_t offset, int64_t count) {
  struct flock range {};
  range.l_type = kind == lock_kind::shared ? F_RDLCK : kind == lock_kind::exclusive ? F_WRLCK : F_UNLCK;
  range.l_whence = SEEK_SET;
  range.l_start = offset;
  range.l_len = count;
  range.l_pid = 0;  // required of open-file-description locks
  if (::fcntl(fd_, F_OFD_SETLK, &range) != 0) {
    error_ = errno == EACCES ? EAGAIN : errno;
    return -1;
  }
  return 0;
}

int file_stream::close() {
  if (fd_ < 0) return 0;
  int result = flush();
  const int saved = error_;
  if (::close(fd_) != 0 && result == 0) {
    error_ = errno;
    result = -1;
  } else if (result != 0) {
    error_ = saved;
  }
  fd_ = -1;
  return result;
}

}  // namespace kx
