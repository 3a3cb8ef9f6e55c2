#include "files/file_records.h"

#include <cstring>
#include <vector>

#include "base/error.h"
#include "files/connection_routing.h"
#include "files/file_errors.h"
#include "files/file_handles.h"
#include "files/string_transfer.h"
#include "values/byte_element.h"
#include "values/string_descriptor.h"

namespace {

enum class direction { get, put };

// Length prefixes of variable-length strings in RANDOM records.
constexpr int64_t short_prefix = 2;
constexpr int64_t long_prefix = 8;
constexpr int64_t short_limit = 32768;

gfs_file_struct& record_of(int32_t h) { return gfs_file[static_cast<size_t>(h)]; }

// The handle of n when GET or PUT may use it, else -1 with the error raised.
int32_t usable(int32_t n, direction way) {
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) {
    error(err::bad_file_name_or_number);
    return -1;
  }
  const gfs_file_struct& record = record_of(h);
  if (record.file_type != file_type_random && record.file_type != file_type_binary) {
    error(err::bad_file_mode);
    return -1;
  }
  if (way == direction::get ? !record.can_read : !record.can_write) {
    error(err::path_file_access_error);
    return -1;
  }
  return h;
}

// Where a transfer starts: record or byte rec when given, else the current
// position; -1 after error 63.
int64_t record_start(const gfs_file_struct& record, int64_t rec, int32_t rec_given) {
  return rec_given ? kx::record_position(record, rec) : record.position;
}

// Moves count bytes at record rec (or the current position) of handle h.
void transfer(int32_t h, int64_t rec, uint8_t* data, int64_t count, int32_t rec_given, direction way) {
  gfs_file_struct& record = record_of(h);
  const bool random = record.file_type == file_type_random;
  if (random && count > record.record_length) {
    error(err::bad_record_length);
    return;
  }
  const int64_t start = record_start(record, rec, rec_given);
  if (start < 0) return;
  const int32_t result = way == direction::get ? gfs_read(h, start, data, count) : gfs_write(h, start, data, count);
  if (result == gfs_short_read) return;  // zero filled, end of file noted
  if (result != gfs_ok) {
    kx::raise_data_error(result);
    return;
  }
  // A RANDOM transfer shorter than the record steps to the next record;
  // the bytes in between are neither read nor written.
  if (random && count < record.record_length && gfs_setpos(h, start + record.record_length) != gfs_ok) {
    error(err::bad_file_mode);
  }
}

void fixed(int32_t n, int64_t rec, byte_element_struct* data, int32_t rec_given, direction way) {
  if (new_error) return;
  // Connections have no records: the record number plays no part.
  if (n < 0) {
    uint8_t* bytes = reinterpret_cast<uint8_t*>(data->address);
    if (way == direction::put)
      kx::connection_put(n, bytes, data->length);
    else
      kx::connection_get_fixed(n, bytes, data->length);
    return;
  }
  const int32_t h = usable(n, way);
  if (h < 0) return;
  transfer(h, rec, reinterpret_cast<uint8_t*>(data->address), data->length, rec_given, way);
}

}  // namespace

namespace kx {

int64_t record_position(const gfs_file_struct& record, int64_t rec) {
  const int64_t index = rec - 1;
  if (rec < 1) {
    error(err::bad_record_number);
    return -1;
  }
  if (record.file_type != file_type_random) return index;
  if (index > INT64_MAX / record.record_length) {
    error(err::bad_record_number);
    return -1;
  }
  return index * record.record_length;
}

}  // namespace kx

void sub_get(int32_t n, int64_t rec, byte_element_struct* data, int32_t rec_given) {
  fixed(n, rec, data, rec_given, direction::get);
}

void sub_put(int32_t n, int64_t rec, byte_element_struct* data, int32_t rec_given) {
  fixed(n, rec, data, rec_given, direction::put);
}

void sub_put2(int32_t n, int64_t rec, kxs* data, int32_t rec_given) {
  if (new_error) return;
  if (n < 0) {
    kx::connection_put(n, data->chars, data->length);
    return;
  }
  const int32_t h = usable(n, direction::put);
  if (h < 0) return;
  if (record_of(h).file_type == file_type_binary) {
    transfer(h, rec, data->chars, data->length, rec_given, direction::put);
    return;
  }
  const int64_t length = data->length;
  std::vector<uint8_t> bytes;
  if (length < short_limit) {
    bytes.resize(static_cast<size_t>(short_prefix + length));
    bytes[0] = static_cast<uint8_t>(length);
    bytes[1] = static_cast<uint8_t>(length >> 8);
  } else {
    bytes.resize(static_cast<size_t>(long_prefix + length));
    const uint64_t high = static_cast<uint64_t>(length) >> 15;
    bytes[0] = static_cast<uint8_t>(length);
    bytes[1] = static_cast<uint8_t>(((length >> 8) & 0x7F) | 0x80);
    for (int i = 0; i < 6; ++i) bytes[2 + static_cast<size_t>(i)] = static_cast<uint8_t>(high >> (8 * i));
  }
  std::memcpy(bytes.data() + (bytes.size() - static_cast<size_t>(length)), data->chars, static_cast<size_t>(length));
  transfer(h, rec, bytes.data(), static_cast<int64_t>(bytes.size()), rec_given, direction::put);
}

void sub_get2(int32_t n, int64_t rec, kxs* data, int32_t rec_given) {
  if (new_error) return;
  if (n < 0) {
    const std::string bytes = kx::connection_get_all(n);
    if (!new_error) kx::assign_bytes(data, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int64_t>(bytes.size()));
    return;
  }
  const int32_t h = usable(n, direction::get);
  if (h < 0) return;
  gfs_file_struct& record = record_of(h);
  if (record.file_type == file_type_binary) {
    // As many bytes as the string already holds; a short read leaves zeros.
    transfer(h, rec, data->chars, data->length, rec_given, direction::get);
    return;
  }
  const int64_t size = record.record_length;
  if (size <= 1) {
    error(err::bad_record_length);
    return;
  }
  const int64_t start = record_start(record, rec, rec_given);
  if (start < 0) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  const int32_t result = gfs_read(h, start, bytes.data(), size);
  if (result != gfs_ok && result != gfs_short_read) {
    kx::raise_data_error(result);
    return;
  }
  if (result == gfs_short_read) gfs_setpos(h, start + size);
  if (gfs_read_bytes() == 0) {
    kx::assign_bytes(data, nullptr, 0);
    return;
  }
  uint64_t length = bytes[0] | (uint64_t{bytes[1]} << 8);
  int64_t prefix = short_prefix;
  if (length & 0x8000) {
    if (size <= long_prefix - 1) {
      gfs_setpos(h, start);
      error(err::bad_record_length);
      return;
    }
    uint64_t high = 0;
    for (int i = 5; i >= 0; --i) high = (high << 8) | bytes[2 + static_cast<size_t>(i)];
    length = (length & 0x7FFF) | (high << 15);
    prefix = long_prefix;
  }
  if (length > static_cast<uint64_t>(size - prefix)) {
    gfs_setpos(h, start);
    error(err::bad_record_length);
    return;
  }
  kx::assign_bytes(data, bytes.data() + prefix, static_cast<int64_t>(length));
}

int32_t generic_put(int32_t n, int64_t position, const uint8_t* data, int64_t count) {
  if (new_error) return gfs_ok;
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) {
    error(err::bad_file_name_or_number);
    return gfs_bad_handle;
  }
  const int32_t result = gfs_write(h, position, data, count);
  kx::raise_data_error(result);
  return result;
}

int32_t generic_get(int32_t n, int64_t position, uint8_t* data, int64_t count) {
  if (new_error) return gfs_ok;
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) {
    error(err::bad_file_name_or_number);
    return gfs_bad_handle;
  }
  const int32_t result = gfs_read(h, position, data, count);
  if (result != gfs_short_read) kx::raise_data_error(result);
  return result;
}
