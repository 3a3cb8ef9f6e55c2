#include "files/file_input_numbers.h"

#include "base/error.h"
#include "files/file_handles.h"
#include "files/file_input.h"
#include "files/file_stream.h"
#include "values/numeric_token.h"
#include "values/read_data.h"

namespace {

constexpr int32_t token_read = 0;
constexpr int32_t token_too_long = 1;
constexpr int32_t token_end_of_file = 2;
constexpr int32_t token_failed = 3;

// Reads a token and raises what INPUT # raises when there is none; true
// when one is ready to convert.
bool read_token(int32_t n) {
  switch (n_inputnumberfromfile(n)) {
    case token_read:
      return true;
    case token_end_of_file:
      error(err::input_past_end_of_file);
      return false;
    case token_too_long:
      error(err::overflow);
      return false;
    default:
      return false;
  }
}

}  // namespace

namespace {

constexpr uint8_t end_of_file_byte = 26;

// The blanks and the number taken straight from the stream's window, as
// the byte-by-byte reading below would take them, when the byte that ends
// the number lies in the window too and no end-of-file byte comes first.
// The position then stands after that byte, which *c holds; false (nothing
// consumed, the reader untouched) otherwise.
bool number_in_window(gfs_file_struct& record, kx::numeric_token_reader& reader, kx::token_step* last, int32_t* c) {
  if (!record.stream) return false;
  int64_t available = 0;
  const uint8_t* bytes = record.stream->peek(record.position, &available);
  if (available <= 0) return false;
  int64_t i = 0;
  while (i < available && (bytes[i] == ' ' || bytes[i] == 9)) ++i;
  kx::numeric_token_reader trial;
  for (; i < available; ++i) {
    if (bytes[i] == end_of_file_byte) return false;
    const kx::token_step step = trial.feed(bytes[i]);
    if (step == kx::token_step::taken) continue;
    reader = trial;
    *last = step;
    *c = bytes[i];
    record.position += i + 1;
    record.eof_flag_passed = 0;
    return true;
  }
  return false;
}

}  // namespace

int32_t n_inputnumberfromfile(int32_t n) {
  // A negative number names no open file: the check below raises error 52.
  int32_t h = -1;
  gfs_file_struct* record = kx::readable_input(n, &h);
  if (!record) return token_failed;
  {
    kx::numeric_token_reader reader;
    kx::token_step step;
    int32_t c;
    if (number_in_window(*record, reader, &step, &c)) {
      file_input_nextitem(h, c);
      if (step == kx::token_step::too_many_digits) return token_too_long;
      reader.finish();
      return token_read;
    }
  }
  int32_t c;
  do c = file_input_chr(h);
  while (c == ' ' || c == 9);
  if (c == kx::file_input_failed) return token_failed;
  if (c == kx::file_input_end) return token_end_of_file;
  kx::numeric_token_reader reader;
  for (;;) {
    const kx::token_step step = reader.feed(static_cast<uint8_t>(c));
    if (step == kx::token_step::too_many_digits) {
      file_input_nextitem(h, c);
      return token_too_long;
    }
    if (step == kx::token_step::ended) break;
    c = file_input_chr(h);
    if (c == kx::file_input_failed) return token_failed;
    if (c == kx::file_input_end) break;
  }
  // The number ends at the first byte that does not fit; the rest of the
  // item up to its separator is passed over.
  file_input_nextitem(h, c);
  reader.finish();
  return token_read;
}

namespace {

// INPUT # of one number: the token, then its conversion (error 6 when it
// does not fit).
template <typename T, typename Convert>
T input_number(int32_t n, Convert convert) {
  if (new_error) return 0;
  if (!read_token(n)) return 0;
  T value{};
  if (!convert(&value)) {
    error(err::overflow);
    return 0;
  }
  return value;
}

}  // namespace

kx_float func_file_input_float(int32_t n, int32_t type) {
  return input_number<kx_float>(n, [type](kx_float* v) { return kx::token_as_type(type, v); });
}

int64_t func_file_input_int64(int32_t n) { return input_number<int64_t>(n, kx::token_as_int64); }

uint64_t func_file_input_uint64(int32_t n) { return input_number<uint64_t>(n, kx::token_as_uint64); }
