#include "values/read_data.h"

#include <cmath>

#include "base/error.h"
#include "values/numeric_token.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/type_codes.h"

int64_t data_offset;

namespace {

constexpr int32_t token_read = 0;
constexpr int32_t token_too_long = 1;
constexpr int32_t token_no_data = 2;
constexpr int32_t token_malformed = 3;

// As a double, the precision every READ value has.
constexpr kx_float largest_single = 3.402823466E+38;

// Reads the token, raising READ's errors; the position returns to the
// item's start after a failure. True when a token is ready to convert.
bool read_token(const uint8_t* data, int64_t* position, int64_t length) {
  const int64_t start = *position;
  switch (n_inputnumberfromdata(data, position, length)) {
    case token_read:
      return true;
    case token_no_data:
      error(err::out_of_data);
      return false;
    case token_malformed:
      *position = start;
      error(err::syntax_error);
      return false;
    default:
      *position = start;
      error(err::overflow);
      return false;
  }
}

// A token that does not fit its variable: error 6, back to the item.
void refuse(int64_t* position, int64_t start) {
  *position = start;
  error(err::overflow);
}

}  // namespace

int32_t n_inputnumberfromdata(const uint8_t* data, int64_t* position, int64_t length) {
  int64_t i = *position;
  if (i >= length) return token_no_data;
  kx::numeric_token_reader reader;
  for (; i < length && data[i] != ','; ++i) {
    const kx::token_step step = reader.feed(data[i]);
    if (step == kx::token_step::too_many_digits) return token_too_long;
    if (step == kx::token_step::ended) return token_malformed;
  }
  // "&" followed directly by a comma or the end is an empty token; "&"
  // with anything else is malformed (caught above).
  if (i < length) ++i;
  *position = i;
  reader.finish();
  return token_read;
}

bool kx::fit_to_type(kx_float value, int32_t type, bool radix, kx_float* result) {
  const int32_t bits = kx::type_code::bits(type);
  if (type & kx::type_code::is_floating) {
    if (bits == kx::type_code::single_bits && std::fabs(value) > largest_single) return false;
    *result = value;
    return true;
  }
  const kx_float two_63 = std::ldexp(1.0L, 63);
  if (!(value >= -two_63 && value <= two_63)) return false;
  const kx_float rounded = std::nearbyint(value);  // ties to even, the default mode
  const kx_float span = std::ldexp(1.0L, bits);
  if ((type & kx::type_code::is_unsigned) || radix) {
    if (rounded < 0 || rounded > span - 1) return false;
    // A radix pattern with the top bit set is a negative signed value.
    *result = !(type & kx::type_code::is_unsigned) && rounded >= span / 2 ? rounded - span : rounded;
    return true;
  }
  if (rounded < -span / 2 || rounded > span / 2 - 1) return false;
  *result = rounded;
  return true;
}

bool kx::token_as_type(int32_t type, kx_float* value) {
  return n_float() && fit_to_type(n_float_value, type, n_hex != n_radix_decimal, value);
}

namespace {

// READ of one number: the token, then its conversion; the position returns
// to the item when either fails.
template <typename T, typename Convert>
T read_number(const uint8_t* data, int64_t* position, int64_t length, Convert convert) {
  if (new_error) return 0;
  const int64_t start = *position;
  if (!read_token(data, position, length)) return 0;
  T value{};
  if (!convert(&value)) {
    refuse(position, start);
    return 0;
  }
  return value;
}

}  // namespace

kx_float func_read_float(const uint8_t* data, int64_t* position, int64_t length, int32_t type) {
  return read_number<kx_float>(data, position, length, [type](kx_float* v) { return kx::token_as_type(type, v); });
}

int64_t func_read_int64(const uint8_t* data, int64_t* position, int64_t length) {
  return read_number<int64_t>(data, position, length, kx::token_as_int64);
}

uint64_t func_read_uint64(const uint8_t* data, int64_t* position, int64_t length) {
  return read_number<uint64_t>(data, position, length, kx::token_as_uint64);
}

void sub_read_string(const uint8_t* data, int64_t* position, int64_t length, kxs* target) {
  if (new_error) return;
  const int64_t start = *position;
  if (start >= length) {
    error(err::out_of_data);
    return;
  }
  int64_t i = start, from = start, to;
  if (data[i] == '"') {
    from = ++i;
    while (i < length && data[i] != '"') ++i;
    to = i;
    if (i < length) ++i;  // the closing mark
    if (i < length && data[i] != ',') {
      kxs_set(target, kxs_new(0, 1));
      error(err::out_of_data);
      return;
    }
  } else {
    while (i < length && data[i] != ',') ++i;
    to = i;
  }
  if (i < length) ++i;  // the comma
  *position = i;
  kxs_set(target, kxs_new_txt_len(data + from, static_cast<int32_t>(to - from)));
}
