#include "values/date_time.h"

#include <cstdio>

#include "base/error.h"
#include "values/string_results.h"

namespace {

// The local time now, or error 5.
bool read_clock(std::tm* now) {
  if (kx::date_time_clock(now)) return true;
  error(err::illegal_function_call);
  return false;
}

}  // namespace

bool kx::system_local_clock(std::tm* out) {
  const std::time_t now = std::time(nullptr);
  return now != static_cast<std::time_t>(-1) && localtime_r(&now, out) != nullptr;
}

kxs* func_date() {
  if (new_error) return kx::empty_result();
  std::tm t{};
  if (!read_clock(&t)) return kx::empty_result();
  char text[40];
  const int n = std::snprintf(text, sizeof text, "%02d-%02d-%04d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900);
  return kx::text_result(text, static_cast<size_t>(n));
}

kxs* func_time() {
  if (new_error) return kx::empty_result();
  std::tm t{};
  if (!read_clock(&t)) return kx::empty_result();
  char text[40];
  const int n = std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
  return kx::text_result(text, static_cast<size_t>(n));
}

void sub_date(kxs*) {}
void sub_time(kxs*) {}
