#include "files/file_input.h"

#include <cstring>
#include <initializer_list>
#include <string>

#include "base/error.h"
#include "files/file_errors.h"
#include "files/file_handles.h"
#include "files/keyboard_input.h"
#include "files/string_transfer.h"
#include "values/string_create.h"
#include "values/string_descriptor.h"

namespace {

constexpr int32_t end_of_file = kx::file_input_end;
constexpr int32_t read_failed = kx::file_input_failed;
constexpr uint8_t end_of_file_byte = 26;
constexpr int64_t line_chunk = 512;

gfs_file_struct& record_of(int32_t h) { return gfs_file[static_cast<size_t>(h)]; }

void put_back(int32_t h) { record_of(h).position -= 1; }

bool is_line_end(int32_t c) { return c == 13 || c == 10; }

// The first of the stop bytes among n bytes, or n. Each stop is searched
// with memchr only up to the nearest one found so far, so searching for
// the commonest first keeps the later searches short.
int64_t first_stop(const uint8_t* bytes, int64_t n, std::initializer_list<int> stops) {
  int64_t limit = n;
  for (const int stop : stops) {
    const void* hit = std::memchr(bytes, stop, static_cast<size_t>(limit));
    if (hit) limit = static_cast<const uint8_t*>(hit) - bytes;
  }
  return limit;
}

// The first CR, LF or end-of-file byte among n bytes, or n.
int64_t line_stop(const uint8_t* bytes, int64_t n) { return first_stop(bytes, n, {10, 13, end_of_file_byte}); }

// Consumes the second byte of a CR LF or LF CR pair after the line end
// stop; rest holds the n window bytes that follow it.
void finish_line_end(int32_t h, int32_t stop, const uint8_t* rest, int64_t n) {
  if (n == 0) {
    file_input_skip1310(h, stop);
    return;
  }
  gfs_file_struct& record = record_of(h);
  if (rest[0] == end_of_file_byte) {
    record.eof_flag_passed = 1;
  } else if (rest[0] == (stop == 13 ? 10 : 13)) {
    record.position += 1;
  }
}

// An unquoted INPUT # item whose first byte has just been read, taken
// straight from the stream's window when its separator is there too.
// False (nothing consumed) when the item runs past the window.
bool unquoted_item_in_window(int32_t h, kxs* target) {
  gfs_file_struct& record = record_of(h);
  const int64_t start = record.position - 1;
  int64_t available = 0;
  const uint8_t* bytes = record.stream->peek(start, &available);
  if (available <= 0) return false;
  const int64_t stop_at = first_stop(bytes, available, {',', 10, 13, end_of_file_byte});
  if (stop_at == available) return false;
  int64_t length = stop_at;
  while (length && (bytes[length - 1] == ' ' || bytes[length - 1] == 9)) --length;
  const int32_t stop = bytes[stop_at];
  record.position = start + stop_at;
  if (stop == end_of_file_byte) {
    record.eof_flag_passed = 1;
  } else {
    record.position += 1;
  }
  // Copied before the line end is completed, which may refill the window.
  kx::assign_bytes(target, bytes, length);
  if (is_line_end(stop)) finish_line_end(h, stop, bytes + stop_at + 1, available - stop_at - 1);
  return true;
}

}  // namespace

gfs_file_struct* kx::readable_input(int32_t n, int32_t* handle) {
  *handle = kx::handle_of_number(n);
  if (*handle < 0) {
    error(err::bad_file_name_or_number);
    return nullptr;
  }
  gfs_file_struct& record = gfs_file[static_cast<size_t>(*handle)];
  if (record.file_type != file_type_input) {
    error(err::bad_file_mode);
    return nullptr;
  }
  if (!record.can_read) {
    error(err::path_file_access_error);
    return nullptr;
  }
  return &record;
}

namespace {

// The next character as file_input_chr gives it, without raising anything:
// a failure leaves the handle layer's result code in *failure.
int32_t next_character(int32_t h, int32_t* failure) {
  if (!gfs_validhandle(h)) {
    *failure = gfs_bad_handle;
    return read_failed;
  }
  gfs_file_struct& record = record_of(h);
  if (!record.can_read || !record.stream) {
    *failure = gfs_access_denied;
    return read_failed;
  }
  int64_t available = 0;
  const uint8_t* bytes = record.stream->peek(record.position, &available);
  if (available < 0) {
    *failure = kx::stream_failure_code(record.stream->last_error());
    return read_failed;
  }
  if (available == 0) {
    record.eof_flag_passed = 1;
    return end_of_file;
  }
  const uint8_t c = bytes[0];
  if (c == end_of_file_byte) {
    record.eof_flag_passed = 1;
    return end_of_file;
  }
  record.position += 1;
  record.eof_flag_passed = 0;
  return c;
}

}  // namespace

int32_t file_input_chr(int32_t h) {
  int32_t failure = gfs_ok;
  const int32_t c = next_character(h, &failure);
  if (c == read_failed) kx::raise_data_error(failure);
  return c;
}

void file_input_skip1310(int32_t h, int32_t c) {
  const int32_t next = file_input_chr(h);
  if (next < 0) return;
  const bool pair = (c == 13 && next == 10) || (c == 10 && next == 13);
  if (!pair) put_back(h);
}

void file_input_nextitem(int32_t h, int32_t c) {
  for (;;) {
    if (c == end_of_file || c == read_failed || c == ',') return;
    if (is_line_end(c)) {
      file_input_skip1310(h, c);
      return;
    }
    if (c == ' ') {
      // Blanks after a number: a following separator belongs to it, any
      // other byte starts the next item.
      do c = file_input_chr(h);
      while (c == ' ');
      if (c >= 0 && c != ',' && !is_line_end(c)) {
        put_back(h);
        return;
      }
      continue;
    }
    c = file_input_chr(h);  // stray bytes after the number: read on to a separator
  }
}

void sub_file_input_string(int32_t n, kxs* target) {
  if (new_error) return;
  if (n < 0) return;
  int32_t h = -1;
  if (!kx::readable_input(n, &h)) return;
  int32_t c;
  do c = file_input_chr(h);
  while (c == ' ' || c == 9);
  if (c == read_failed) return;
  if (c == end_of_file) {
    kx::assign_bytes(target, nullptr, 0);
    error(err::input_past_end_of_file);
    return;
  }
  if (c != '"' && unquoted_item_in_window(h, target)) return;
  std::string item;
  if (c == '"') {
    for (;;) {
      c = file_input_chr(h);
      if (c < 0 || c == '"') break;
      item += static_cast<char>(c);
    }
    if (c == read_failed) return;
    // Whatever follows the closing quote up to the separator is dropped.
    if (c == '"') {
      do c = file_input_chr(h);
      while (c >= 0 && c != ',' && !is_line_end(c));
    }
  } else {
    while (c >= 0 && c != ',' && !is_line_end(c)) {
      item += static_cast<char>(c);
      c = file_input_chr(h);
    }
    if (c == read_failed) return;
    while (!item.empty() && (item.back() == ' ' || item.back() == 9)) item.pop_back();
  }
  if (is_line_end(c)) file_input_skip1310(h, c);
  kx::assign_bytes(target, reinterpret_cast<const uint8_t*>(item.data()), static_cast<int64_t>(item.size()));
}

namespace {

// target = spill followed by the n bytes at tail. Most lines lie whole in
// the stream's window and are copied from there once.
void assign_line(kxs* target, std::string& spill, const uint8_t* tail, int64_t n) {
  if (spill.empty()) {
    kx::assign_bytes(target, tail, n);
    return;
  }
  spill.append(reinterpret_cast<const char*>(tail), static_cast<size_t>(n));
  kx::assign_bytes(target, reinterpret_cast<const uint8_t*>(spill.data()), static_cast<int64_t>(spill.size()));
}

// LINE INPUT on an INPUT file: up to CR, LF or the end, searching the
// stream's window directly.
void line_input_characters(int32_t h, kxs* target) {
  gfs_file_struct& record = record_of(h);
  std::string spill;  // the start of a line that runs past the window
  bool read_any = false;
  for (;;) {
    int64_t available = 0;
    const uint8_t* bytes = record.stream->peek(record.position, &available);
    if (available < 0) {
      kx::raise_data_error(kx::stream_failure_code(record.stream->last_error()));
      return;
    }
    if (available == 0) {
      record.eof_flag_passed = 1;
      if (!read_any) break;
      assign_line(target, spill, bytes, 0);
      return;
    }
    const int64_t i = line_stop(bytes, available);
    record.position += i;
    if (i) {
      record.eof_flag_passed = 0;
      read_any = true;
    }
    if (i == available) {
      spill.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(i));
      continue;
    }
    const int32_t stop = bytes[i];
    if (stop == end_of_file_byte) {
      record.eof_flag_passed = 1;
      if (!read_any) break;
      assign_line(target, spill, bytes, i);
      return;
    }
    record.position += 1;
    record.eof_flag_passed = 0;
    // The window stays valid until the stream is called again, which
    // completing the line end may do: copy the line first.
    assign_line(target, spill, bytes, i);
    finish_line_end(h, stop, bytes + i + 1, available - i - 1);
    return;
  }
  kx::assign_bytes(target, nullptr, 0);
  error(err::input_past_end_of_file);
}

// LINE INPUT on a BINARY file: up to the next LF, read in chunks; a CR
// before the LF is dropped.
void line_input_block(int32_t h, kxs* target) {
  gfs_file_struct& record = record_of(h);
  const int64_t start = record.position;
  const int64_t length = gfs_lof(h);
  if (length < 0) {
    kx::raise_data_error(length);
    return;
  }
  if (length < start + 1) {
    error(err::input_past_end_of_file);
    return;
  }
  std::string line;
  int64_t at = start;
  for (;;) {
    const int64_t want = std::min(line_chunk, length - at);
    const size_t old = line.size();
    line.resize(old + static_cast<size_t>(want));
    const int32_t result = gfs_read(h, at, reinterpret_cast<uint8_t*>(line.data() + old), want);
    if (result != gfs_ok && result != gfs_short_read) {
      kx::raise_data_error(result);
      return;
    }
    line.resize(old + static_cast<size_t>(gfs_read_bytes()));
    at += gfs_read_bytes();
    const void* lf = std::memchr(line.data() + old, 10, line.size() - old);
    if (lf) {
      const size_t cut = static_cast<size_t>(static_cast<const char*>(lf) - line.data());
      line.resize(cut);
      gfs_setpos(h, start + static_cast<int64_t>(cut) + 1);
      if (!line.empty() && line.back() == 13) line.pop_back();
      // Nothing after the last line feed: the end of the file is reached.
      record.eof_flag_passed = record.position >= length ? 1 : 0;
      break;
    }
    if (gfs_read_bytes() < want || at >= length) {
      // The last line has no line feed: it runs to the end of the file.
      gfs_setpos(h, at);
      record.eof_flag_passed = 1;
      break;
    }
  }
  kx::assign_bytes(target, reinterpret_cast<const uint8_t*>(line.data()), static_cast<int64_t>(line.size()));
}

}  // namespace

void sub_file_line_input_string(int32_t n, kxs* target) {
  if (new_error) return;
  // Unlike INPUT #, LINE INPUT # has no road to connections: a negative
  // number is one not in use.
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) {
    error(err::bad_file_name_or_number);
    return;
  }
  gfs_file_struct& record = record_of(h);
  if (!record.can_read) {
    error(err::path_file_access_error);
    return;
  }
  if (record.file_type == file_type_input) {
    line_input_characters(h, target);
  } else if (record.file_type == file_type_binary) {
    line_input_block(h, target);
  } else {
    error(err::bad_file_mode);
  }
}

namespace {

kxs* empty_result() { return kxs_new(0, 1); }

kxs* input_from_file(int32_t count, int32_t n) {
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) {
    error(err::bad_file_name_or_number);
    return empty_result();
  }
  gfs_file_struct& record = record_of(h);
  if (record.file_type != file_type_binary && record.file_type != file_type_input) {
    error(err::input_past_end_of_file);
    return empty_result();
  }
  if (!record.can_read) {
    error(err::path_file_access_error);
    return empty_result();
  }
  if (count == 0) return empty_result();
  if (record.file_type == file_type_binary) {
    std::string bytes(static_cast<size_t>(count), '\0');
    const int32_t result = gfs_read(h, -1, reinterpret_cast<uint8_t*>(bytes.data()), count);
    if (result != gfs_ok && result != gfs_short_read) {
      kx::raise_data_error(result);
      return empty_result();
    }
    kxs* s = kxs_new(static_cast<int32_t>(gfs_read_bytes()), 1);
    std::memcpy(s->chars, bytes.data(), static_cast<size_t>(gfs_read_bytes()));
    return s;
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(count));
  // A read that fails part-way is a path or file access error, whatever
  // the system said.
  int32_t failure = gfs_ok;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t c = next_character(h, &failure);
    if (c < 0) {
      error(c == end_of_file ? err::input_past_end_of_file : err::path_file_access_error);
      return empty_result();
    }
    bytes += static_cast<char>(c);
    // Look one byte ahead so that EOF turns true as soon as the last byte
    // has been taken.
    if (!record.eof_flag_passed && next_character(h, &failure) >= 0) put_back(h);
  }
  kxs* s = kxs_new(count, 1);
  std::memcpy(s->chars, bytes.data(), static_cast<size_t>(count));
  return s;
}

}  // namespace

kxs* func_input(int32_t count, int32_t n, int32_t n_given) {
  if (new_error) return empty_result();
  if (count < 0) {
    error(err::bad_file_name_or_number);
    return empty_result();
  }
  if (n_given) return input_from_file(count, n);
  return kx::input_from_keyboard(count);
}
