// TAB(n) and SPC(n): the spaces (and carriage return) PRINT then prints.
#include <cstring>

#include "base/error.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/text/print.h"
#include "values/string_create.h"

namespace {

constexpr int32_t short_min = -32768, short_max = 32767;

kxs* line_break_and_spaces(bool line_break, bool crlf, int32_t spaces) {
  const int32_t prefix = line_break ? (crlf ? 2 : 1) : 0;
  kxs* s = kxs_new(prefix + spaces, 1);
  if (prefix) s->chars[0] = 13;
  if (prefix == 2) s->chars[1] = 10;
  if (spaces > 0) std::memset(s->chars + prefix, ' ', static_cast<size_t>(spaces));
  return s;
}

}  // namespace

kxs* kx::tab_text(int32_t n, int32_t column, int32_t width, bool crlf) {
  if (n < short_min || n > short_max) {
    error(err::out_of_memory);
    return kxs_new(0, 1);
  }
  if (width > 0 && n > width) n %= width;
  if (n <= 0) n = 1;
  if (n < column) return line_break_and_spaces(true, crlf, n - 1);
  return line_break_and_spaces(false, crlf, n - column);
}

kxs* kx::spc_text(int32_t n, int32_t column, int32_t width, bool unlimited) {
  if (n < short_min || n > short_max) {
    error(err::out_of_memory);
    return kxs_new(0, 1);
  }
  if (n < 0) n = 0;
  if (unlimited || width <= 0) return line_break_and_spaces(false, false, n);
  n %= width;
  const int32_t left = width - column + 1;
  if (n > left) return line_break_and_spaces(true, false, n - left);
  return line_break_and_spaces(false, false, n);
}

kxs* func_tab(int32_t n) {
  if (new_error.load()) return kxs_new(0, 1);
  const img_struct& w = *write_page;
  return kx::tab_text(n, kx::reported_column(w), kx::text_columns(w), false);
}

kxs* func_spc(int32_t n) {
  if (new_error.load()) return kxs_new(0, 1);
  const img_struct& w = *write_page;
  return kx::spc_text(n, kx::reported_column(w), kx::text_columns(w), false);
}
