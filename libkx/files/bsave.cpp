#include "files/bsave.h"

#include <fcntl.h>

#include <array>
#include <string>
#include <vector>

#include "base/error.h"
#include "files/file_errors.h"
#include "files/file_handles.h"
#include "files/file_stream.h"
#include "files/path_names.h"
#include "values/conventional_memory.h"
#include "values/def_seg.h"
#include "values/string_descriptor.h"

namespace {

constexpr uint8_t header_tag = 0xFD;
constexpr int64_t header_size = 7;
constexpr int32_t lowest_offset = -65536;
constexpr int32_t highest_offset = 65535;
constexpr int32_t whole_segment = 65536;

// The name as the system takes it, or empty when it has none.
std::string system_name(const kxs* name) { return kx::system_path(name).value_or(std::string()); }

uint32_t defseg_segment() { return static_cast<uint32_t>((defseg - cmem) / 16); }

// Whether count bytes from linear address start lie inside emulated memory.
bool inside_memory(uint64_t start, uint64_t count) { return start <= cmem_size && count <= cmem_size - start; }

void put_word(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
uint32_t get_word(const uint8_t* at) { return at[0] | (uint32_t{at[1]} << 8); }

void raise_stream_error(const kx::file_stream& stream) {
  kx::raise_data_error(kx::stream_failure_code(stream.last_error()));
}

}  // namespace

void sub_bsave(kxs* name, int32_t offset, int32_t length) {
  if (new_error) return;
  if (offset < lowest_offset || offset > highest_offset || length < lowest_offset || length > whole_segment) {
    error(err::overflow);
    return;
  }
  const uint32_t saved_offset = static_cast<uint32_t>(offset) & 0xFFFF;
  const uint32_t count = length == whole_segment ? whole_segment : static_cast<uint32_t>(length) & 0xFFFF;
  const uint64_t start = static_cast<uint64_t>(defseg - cmem) + saved_offset;
  // A segment near the top of memory plus a long length would run past its
  // end: nothing is saved.
  if (!inside_memory(start, count)) {
    error(err::illegal_function_call);
    return;
  }
  const std::string path = system_name(name);
  int error_number = 0;
  auto stream = path.empty() ? nullptr : kx::file_stream::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, &error_number);
  if (!stream) {
    error(err::bad_file_name);
    return;
  }
  std::array<uint8_t, header_size> header{};
  header[0] = header_tag;
  put_word(&header[1], defseg_segment());
  put_word(&header[3], saved_offset);
  put_word(&header[5], count == whole_segment ? 0 : count);
  if (stream->write(0, header.data(), header_size) != 0 || stream->write(header_size, cmem + start, count) != 0 ||
      stream->close() != 0) {
    raise_stream_error(*stream);
  }
}

void sub_bload(kxs* name, int32_t offset, int32_t offset_given) {
  if (new_error) return;
  if (offset_given && (offset < lowest_offset || offset > highest_offset)) {
    error(err::overflow);
    return;
  }
  const std::string path = system_name(name);
  int error_number = 0;
  auto stream = path.empty() ? nullptr : kx::file_stream::open(path.c_str(), O_RDONLY, &error_number);
  if (!stream) {
    error(err::file_not_found);
    return;
  }
  std::array<uint8_t, header_size> header{};
  const int64_t got = stream->read(0, header.data(), header_size);
  if (got < 0) {
    raise_stream_error(*stream);
    return;
  }
  if (got < header_size || header[0] != header_tag) {
    error(err::bad_file_mode);
    return;
  }
  const int64_t file_length = stream->length();
  if (file_length < 0) {
    raise_stream_error(*stream);
    return;
  }
  const int64_t data_length = file_length - header_size;
  int64_t count = get_word(&header[5]);
  // A stored length of 0 stands for a whole 64 KiB segment, or for
  // nothing when the file holds less.
  if (count == 0) count = data_length > 65535 ? data_length : 0;
  const uint64_t start = offset_given
                             ? static_cast<uint64_t>(defseg - cmem) + (static_cast<uint32_t>(offset) & 0xFFFF)
                             : uint64_t{get_word(&header[1])} * 16 + get_word(&header[3]);
  if (!inside_memory(start, static_cast<uint64_t>(count))) {
    error(err::illegal_function_call);
    return;
  }
  if (data_length < count) {
    error(err::bad_file_mode);
    return;
  }
  // Read into scratch space first, so that a failing read changes nothing.
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  const int64_t read = stream->read(header_size, bytes.data(), count);
  if (read < 0) {
    raise_stream_error(*stream);
    return;
  }
  if (read < count) {
    error(err::bad_file_mode);
    return;
  }
  std::copy(bytes.begin(), bytes.end(), cmem + start);
}
