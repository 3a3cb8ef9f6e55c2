#include "values/print_using.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "base/error.h"
#include "values/print_using_number.h"
#include "values/string_append.h"
#include "values/string_descriptor.h"

namespace {

enum class field_kind { none, number, text };

struct field_scan {
  field_kind kind = field_kind::none;
  int64_t end = 0;  // one past the last byte read
  kx::numeric_field number;
  int64_t text_width = 0;  // characters of a text field; -1 for the whole string
};

// What one call formats: nothing, a string or a number.
struct using_value {
  field_kind kind = field_kind::none;
  const kxs* text = nullptr;
  const kx::decimal_number* number = nullptr;
};

class format_text {
 public:
  explicit format_text(const kxs* f) : bytes_(f->chars), length_(f->length) {}
  int64_t length() const { return length_; }
  uint8_t at(int64_t i) const { return bytes_[i]; }
  bool has(int64_t i, std::string_view token) const {
    if (length_ - i < static_cast<int64_t>(token.size())) return false;
    return std::equal(token.begin(), token.end(), bytes_ + i, [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
  }
  const uint8_t* from(int64_t i) const { return bytes_ + i; }

 private:
  const uint8_t* bytes_;
  int64_t length_;
};

// Reads a numeric field greedily from i. The stage records how far the
// field has come: 0 nothing, 1 leading "+", 2 digit positions before the
// point, 3 after the point, 4 exponent.
field_scan scan_number(const format_text& f, int64_t i) {
  field_scan r;
  kx::numeric_field& n = r.number;
  int stage = 0;
  int64_t j = i;
  while (j < f.length()) {
    const uint8_t c = f.at(j);
    if (c == '+' && stage == 0) {
      n.leading_plus = true;
      stage = 1;
      ++j;
    } else if (stage <= 1 && f.has(j, "**$")) {
      n.asterisk_spaces = n.dollar_sign = true;
      n.digits_before_point += 2;
      stage = 2;
      j += 3;
    } else if (stage <= 1 && f.has(j, "**")) {
      n.asterisk_spaces = true;
      n.digits_before_point += 2;
      stage = 2;
      j += 2;
    } else if (stage <= 1 && f.has(j, "$$")) {
      n.dollar_sign = true;
      n.digits_before_point += 1;
      stage = 2;
      j += 2;
    } else if (c == '#' && stage <= 2) {
      ++n.digits_before_point;
      stage = 2;
      ++j;
    } else if (c == ',' && stage == 2) {
      n.commas = true;
      ++n.digits_before_point;
      ++j;
    } else if (c == '.' && stage <= 2) {
      n.decimal_point = true;
      stage = 3;
      ++j;
    } else if (c == '#' && stage == 3) {
      ++n.digits_after_point;
      ++j;
    } else if ((stage == 2 || stage == 3) && f.has(j, "^^^^")) {
      n.exponent_digits = f.has(j, "^^^^^") ? 3 : 2;
      stage = 4;
      j += n.exponent_digits + 2;
    } else if (stage >= 2 && (c == '+' || c == '-')) {
      (c == '+' ? n.trailing_plus : n.trailing_minus) = true;
      ++j;
      break;
    } else {
      break;
    }
  }
  r.end = j;
  if (stage >= 2 && n.digits_before_point + n.digits_after_point > 0) r.kind = field_kind::number;
  return r;
}

field_scan scan_text(const format_text& f, int64_t i) {
  field_scan r;
  const uint8_t c = f.at(i);
  if (c == '!' || c == '&') {
    r.kind = field_kind::text;
    r.end = i + 1;
    r.text_width = c == '!' ? 1 : -1;
  } else if (c == '\\') {
    int64_t j = i + 1;
    while (j < f.length() && f.at(j) == ' ') ++j;
    if (j < f.length() && f.at(j) == '\\') {
      r.kind = field_kind::text;
      r.end = j + 1;
      r.text_width = j + 1 - i;
    }
  }
  return r;
}

void put_text(const field_scan& field, const kxs* value, std::string* out) {
  const int64_t have = value->length;
  const int64_t width = field.text_width < 0 ? have : field.text_width;
  const int64_t taken = std::min(have, width);
  out->append(value->chars, value->chars + taken);
  out->append(static_cast<size_t>(width - taken), ' ');
}

// Module-level state of the formatter, kept between the calls of one
// statement so that its buffers are made once.
std::string output;
kx::decimal_number number;

int32_t format_value(kxs* format, int32_t pos, kx::using_destination& dest, using_value value) {
  const format_text f(format);
  output.clear();
  int64_t i = pos >= 0 && pos < f.length() ? pos : 0;
  const bool started_at_zero = i == 0;
  bool used = value.kind == field_kind::none;
  bool wrapped = false;
  int32_t next = 0;
  for (;;) {
    if (i >= f.length()) {
      if (used) break;
      if (started_at_zero || wrapped) {
        error(err::illegal_function_call);  // the format has no field at all
        break;
      }
      wrapped = true;
      i = 0;
      continue;
    }
    field_scan field = scan_number(f, i);
    const int64_t scanned_to = field.end;
    if (field.kind == field_kind::none) field = scan_text(f, i);
    if (field.kind != field_kind::none) {
      if (used) {
        next = static_cast<int32_t>(i);
        break;
      }
      if (field.kind != value.kind) {
        error(err::type_mismatch);
        break;
      }
      if (field.kind == field_kind::number)
        kx::lay_out_number(field.number, *value.number, &output);
      else
        put_text(field, value.text, &output);
      used = true;
      i = field.end;
    } else if (scanned_to > i) {
      // The start of a numeric field that never became one is literal.
      output.append(f.from(i), f.from(scanned_to));
      i = scanned_to;
    } else if (f.at(i) == '_' && i + 1 < f.length()) {
      output.push_back(static_cast<char>(f.at(i + 1)));
      i += 2;
    } else {
      output.push_back(static_cast<char>(f.at(i)));
      ++i;
    }
  }
  if (!output.empty()) dest.append(reinterpret_cast<const uint8_t*>(output.data()), output.size());
  return next;
}

int32_t format_number(kxs* format, int32_t pos, kx::using_destination& dest, bool has_digits) {
  if (!has_digits) {
    error(err::illegal_function_call);
    return 0;
  }
  return format_value(format, pos, dest, using_value{field_kind::number, nullptr, &number});
}

}  // namespace

void kx::string_destination::append(const uint8_t* bytes, size_t length) {
  if (s_->is_readonly || length == 0) return;
  if (static_cast<uint64_t>(s_->length) + length > INT32_MAX) {
    error(err::out_of_string_space);
    return;
  }
  // In place while the string has room: a line of many fields, or many
  // lines gathered in one string, costs linear time.
  kxs_append_txt_len(s_, bytes, static_cast<int32_t>(length));
}

int32_t print_using(kxs* format, int32_t pos, kx::using_destination& dest, kxs* value) {
  if (new_error) return 0;
  return format_value(format, pos, dest, value ? using_value{field_kind::text, value, nullptr} : using_value{});
}

int32_t print_using_integer64(kxs* format, int64_t value, int32_t pos, kx::using_destination& dest) {
  if (new_error) return 0;
  kx::decimal_of(value, &number);
  return format_number(format, pos, dest, true);
}

int32_t print_using_uinteger64(kxs* format, uint64_t value, int32_t pos, kx::using_destination& dest) {
  if (new_error) return 0;
  kx::decimal_of(value, &number);
  return format_number(format, pos, dest, true);
}

int32_t print_using_single(kxs* format, float value, int32_t pos, kx::using_destination& dest) {
  if (new_error) return 0;
  return format_number(format, pos, dest, kx::decimal_of(value, &number));
}

int32_t print_using_double(kxs* format, double value, int32_t pos, kx::using_destination& dest) {
  if (new_error) return 0;
  return format_number(format, pos, dest, kx::decimal_of(value, &number));
}

int32_t print_using_float(kxs* format, kx_float value, int32_t pos, kx::using_destination& dest) {
  if (new_error) return 0;
  return format_number(format, pos, dest, kx::decimal_of(value, &number));
}
