#pragma once
// A buffered binary stream over one open file descriptor. It has no file
// position of its own: every read and write names its byte offset, so the
// one position the handle layer keeps serves reading and writing alike and
// a switch between them can never land at the wrong place.
//
// One window of the file is buffered. Bytes written land in the window and
// reach the file when the window moves, on flush() and on close(); bytes
// read come from the window, refilled with read-ahead that grows while the
// access stays sequential. A stream opened for appending writes every byte
// at the end of the file, whatever offset is named.
#include <cstdint>
#include <memory>

namespace kx {

class file_stream {
 public:
  // Opens path with open(2) flags (O_CLOEXEC is added). Returns null and
  // sets *error_number on failure.
  static std::unique_ptr<file_stream> open(const char* path, int flags, int* error_number);

  ~file_stream();  // closes without reporting; close() reports
  file_stream(const file_stream&) = delete;
  file_stream& operator=(const file_stream&) = delete;

  // Bytes actually read at offset (short at the end of the file), or -1
  // with last_error() set.
  int64_t read(int64_t offset, uint8_t* destination, int64_t count);
  // The buffered bytes from offset on, filling the window when needed:
  // *count is how many (0 at the end of the file, -1 on failure). Valid
  // until the next call on the stream.
  const uint8_t* peek(int64_t offset, int64_t* count);
  // 0, or -1 with last_error() set. On a regular file the bytes have their
  // room on the disk before 0 is answered, so a full disk fails the write
  // that does not fit. A failure may also report an earlier buffered write
  // that could not be stored.
  int write(int64_t offset, const uint8_t* source, int64_t count);
  // The file's length including buffered bytes, or -1.
  int64_t length();
  // Stores the buffered bytes: 0, or -1 with last_error() set.
  int flush();
  // Flushes and closes the descriptor: 0, or -1 with last_error() set by
  // the first failure. The stream is closed either way.
  int close();
  // The errno of the last failure.
  int last_error() const { return error_; }
  // Takes (shared or exclusive) or releases an advisory lock on count bytes
  // from offset; count 0 reaches past any end. The lock belongs to this
  // stream's own opening of the file, so a second opening in the same
  // process conflicts with it as another process would, and closing the
  // stream releases it. 0, or -1 with last_error() set (EAGAIN when another
  // lock holds part of the range).
  enum class lock_kind { shared, exclusive, release };
  int lock(lock_kind kind, int64_t offset, int64_t count);
  bool appending() const { return append_; }

 private:
  file_stream(int fd, bool append, bool seekable);
  int fill(int64_t offset);
  int store(int64_t offset, const uint8_t* source, int64_t count);
  int reserve(int64_t offset, int64_t count);

  int fd_ = -1;
  bool append_ = false;
  bool seekable_ = true;  // pipes and terminals take bytes in order, offsets aside
  int error_ = 0;
  std::unique_ptr<uint8_t[]> buffer_;
  int64_t window_start_ = 0;  // file offset of buffer_[0]
  int64_t window_size_ = 0;   // valid bytes in the buffer
  int64_t dirty_begin_ = 0;   // buffered bytes not yet stored, relative to window_start_
  int64_t dirty_end_ = 0;     // empty when equal
  int64_t read_ahead_ = 0;
  int64_t next_sequential_ = -1;  // where a sequential refill would start
  // Room on the disk taken for bytes not yet stored (regular files only):
  // up to reserved_end_ the file has its blocks. append_end_ is where the
  // next appended byte lands.
  bool reserving_ = false;
  int64_t reserved_end_ = 0;
  int64_t append_end_ = 0;
};

}  // namespace kx
