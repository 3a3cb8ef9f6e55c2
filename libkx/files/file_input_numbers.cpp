#include "files/file_input_numbers.h"

#include "base/error.h"
#include "files/file_input.h"
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

int32_t n_inputnumberfromfile(int32_t n) {
  // A negative number names no open file: the check below raises error 52.
  int32_t h = -1;
  if (!kx::readable_input(n, &h)) return token_failed;
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
