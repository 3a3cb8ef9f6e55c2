#include "files/environment.h"

#include <string_view>

#include "base/error.h"
#include "files/program_environment.h"
#include "files/string_transfer.h"

extern char** environ;

kxs* func_environ(kxs* name) {
  if (new_error) return kx::new_temporary("");
  const std::string_view key = kx::bytes_of(name);
  if (key.find('\0') != std::string_view::npos) return kx::new_temporary("");
  const auto value = kx::program_environment_value(key);
  return kx::new_temporary(value.value_or(""));
}

kxs* func_environ(int64_t n) {
  if (new_error) return kx::new_temporary("");
  if (n <= 0) {
    error(err::illegal_function_call);
    return kx::new_temporary("");
  }
  const auto entry = kx::program_environment_entry(n);
  return kx::new_temporary(entry.value_or(""));
}

void sub_environ(kxs* text) {
  if (new_error) return;
  const std::string_view entry = kx::bytes_of(text);
  // A zero byte would cut the entry short; an entry without a name would
  // name nothing.
  if (entry.find('\0') != std::string_view::npos || entry.empty() || entry[0] == '=') {
    error(err::illegal_function_call);
    return;
  }
  kx::program_environment_set(entry);
}

kxs* func__os() { return kx::new_temporary("[LINUX][64BIT]"); }

namespace kx {

int32_t count_environment() {
  int32_t count = 0;
  for (char** e = environ; e && *e; ++e) ++count;
  return count + 1;
}

}  // namespace kx
