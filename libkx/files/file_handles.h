#pragma once
// The file handle layer: the table of open-file records, the map from BASIC
// file numbers to records, and the byte-level operations every file
// statement is built on. Operations answer 0 (or a non-negative result) on
// success and a small negative code on failure; the statements turn the
// codes into BASIC errors. All of it belongs to the program thread.
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "files/file_stream.h"

struct kxs;

// Result codes of the layer's operations.
inline constexpr int32_t gfs_ok = 0;
inline constexpr int32_t gfs_no_access = -1;       // length of a record that can neither read nor write
inline constexpr int32_t gfs_bad_handle = -2;
inline constexpr int32_t gfs_access_denied = -3;   // read on write-only, write on read-only
inline constexpr int32_t gfs_bad_argument = -4;
inline constexpr int32_t gfs_not_found = -5;       // open without creation: no such file
inline constexpr int32_t gfs_path_not_found = -6;
inline constexpr int32_t gfs_stream_failure = -7;  // also: permission refused at open
inline constexpr int32_t gfs_device_unavailable = -8;
inline constexpr int32_t gfs_is_directory = -9;
inline constexpr int32_t gfs_short_read = -10;
inline constexpr int32_t gfs_bad_name = -11;
inline constexpr int32_t gfs_bad_mode = -12;
inline constexpr int32_t gfs_disk_full = -13;
inline constexpr int32_t gfs_device_error = -14;

// The file types OPEN stores.
inline constexpr uint8_t file_type_random = 1;
inline constexpr uint8_t file_type_binary = 2;
inline constexpr uint8_t file_type_input = 3;
inline constexpr uint8_t file_type_output = 4;  // OUTPUT and APPEND

struct gfs_file_struct {
  int64_t record_id = 0;  // never reused: lets FIELD links spot a closed and reused record
  int8_t is_open = 0;
  int8_t can_read = 0;
  int8_t can_write = 0;
  int8_t deny_read = 0;   // recorded, not enforced
  int8_t deny_write = 0;  // recorded, not enforced
  int64_t position = 0;   // the one byte offset for reading and writing
  int8_t eof_flag_passed = 0;
  int32_t file_number = 0;  // 0 when no BASIC number is bound
  uint8_t file_type = 0;
  int64_t record_length = 0;
  std::unique_ptr<uint8_t[]> record_buffer;  // RANDOM: record_length bytes, the FIELD buffer
  std::vector<kxs*> field_list;              // strings FIELDed to this file, in binding order
  int64_t column = 0;                        // PRINT # output column, 1-based
  std::unique_ptr<kx::file_stream> stream;
  // Serial-port options of a "COMn:" name; port 0 when the name is not one.
  uint8_t port = 0;
  int32_t baud = 0;
  int8_t parity = 0;
  int8_t data_bits = 0;
  int8_t stop_bits = 0;  // times ten
  int8_t ascii_mode = 0;
  int8_t lf_mode = 0;
  int8_t rs_mode = 0;
  int32_t cd_ms = 0;
  int32_t cs_ms = 0;
  int32_t ds_ms = 0;
  int32_t op_ms = 0;
  int8_t is_screen = 0;  // the "SCRN:" device: no stream, output to the screen
  // Length last seen for a file this record cannot write: lets end-of-file
  // tests skip asking the system while the position is well inside it.
  int64_t known_length = -1;
};

// The record table: indices are the handles. It grows by one record when no
// freed record is available and never shrinks.
inline std::vector<gfs_file_struct> gfs_file;
inline std::vector<int32_t> gfs_freed;  // freed handles, the most recently freed last
inline int64_t gfs_nextid = 1;
// BASIC file numbers in use and their handles. Kept sparse, so that asking
// about any number costs nothing and binds nothing.
inline std::map<int32_t, int32_t> gfs_fileno;

// A zeroed record from the freed stack or the end of the table, with the
// next id.
int32_t gfs_new();
// 1 when h is in the table and its record is open or the screen device.
int32_t gfs_validhandle(int32_t h);
// 1 in use, 0 free, -2 for numbers below 1. Never binds or grows anything.
int32_t gfs_fileno_valid(int32_t n);
// The lowest free file number from 1.
int32_t gfs_fileno_freefile();
void gfs_fileno_use(int32_t n, int32_t h);
void gfs_fileno_free(int32_t n);
// Releases a record without touching its stream: 0 or -2.
int32_t gfs_free(int32_t h);
// Releases a record and closes its stream: 0, -2, or the code of a failed
// final flush or close (-13 disk full, -14 device error, -7 other).
int32_t gfs_close(int32_t h);
// Opens name (access: 1 read, 2 write, 3 both; restrictions: bit 0 deny
// reading, bit 1 deny writing; how: 0 must exist, 2 create or truncate,
// other values create when missing). A handle, or a negative code.
int32_t gfs_open(kxs* name, int32_t access, int32_t restrictions, int32_t how);
// The same with the name as bytes. append: writes go to the end of the file.
int32_t gfs_open_name(std::string_view name, int32_t access, int32_t restrictions, int32_t how, bool append);
int32_t gfs_setpos(int32_t h, int64_t position);
int64_t gfs_getpos(int32_t h);
// Write or read n bytes at position, or at the current position for -1.
int32_t gfs_write(int32_t h, int64_t position, const uint8_t* data, int64_t n);
int32_t gfs_read(int32_t h, int64_t position, uint8_t* data, int64_t n);
// Bytes transferred by the last gfs_read.
int64_t gfs_read_bytes();
int64_t gfs_lof(int32_t h);
int32_t gfs_eof_reached(int32_t h);
int32_t gfs_eof_passed(int32_t h);
// Byte-range advisory locks from byte start to byte end (0-based,
// inclusive; -1 for the start or end of the whole file): 0, -2, -4 for a
// bad range, -7 when another opening holds a lock on part of it.
int32_t gfs_lock(int32_t h, int64_t start, int64_t end);
int32_t gfs_unlock(int32_t h, int64_t start, int64_t end);
// Flushes every open stream: 0, or the code of the first failure.
int32_t gfs_flush_all();
// Turns every backslash into a forward slash, in place.
char* fixdir(char* name);

namespace kx {

// The code for a failed stream operation's errno.
int32_t stream_failure_code(int error_number);

// The record bound to file number n, or null.
inline gfs_file_struct* file_by_number(int32_t n) {
  const auto it = gfs_fileno.find(n);
  return it == gfs_fileno.end() ? nullptr : &gfs_file[static_cast<size_t>(it->second)];
}
inline int32_t handle_of_number(int32_t n) {
  const auto it = gfs_fileno.find(n);
  return it == gfs_fileno.end() ? -1 : it->second;
}

// Empties the tables, as at start-up (tests use it between cases).
void file_tables_reset();

}  // namespace kx
