#include "files/environment.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/error.h"
#include "files/string_transfer.h"

extern char** environ;

namespace {
// Every text handed to putenv, replaced or not: the environment may still
// point at any of them, so they live as long as the process.
std::vector<char*>& environment_texts() {
  static auto* texts = new std::vector<char*>;
  return *texts;
}
}  // namespace

kxs* func_environ(kxs* name) {
  if (new_error) return kx::new_temporary("");
  const std::string key(kx::bytes_of(name));
  if (key.find('\0') != std::string::npos) return kx::new_temporary("");
  const char* value = std::getenv(key.c_str());
  return kx::new_temporary(value ? value : "");
}

kxs* func_environ(int64_t n) {
  if (new_error) return kx::new_temporary("");
  if (n <= 0) {
    error(err::illegal_function_call);
    return kx::new_temporary("");
  }
  for (int64_t i = 1; environ && environ[i - 1]; ++i) {
    if (i == n) return kx::new_temporary(environ[i - 1]);
  }
  return kx::new_temporary("");
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
  // putenv keeps the very text it is given: it stays owned by the
  // environment for the rest of the run.
  char* owned = static_cast<char*>(std::malloc(entry.size() + 1));
  if (!owned) {
    error(err::out_of_memory);
    return;
  }
  std::memcpy(owned, entry.data(), entry.size());
  owned[entry.size()] = '\0';
  if (::putenv(owned) != 0) {
    std::free(owned);
    error(err::illegal_function_call);
    return;
  }
  environment_texts().push_back(owned);
}

kxs* func__os() { return kx::new_temporary("[LINUX][64BIT]"); }

namespace kx {

int32_t count_environment() {
  int32_t count = 0;
  for (char** e = environ; e && *e; ++e) ++count;
  return count + 1;
}

}  // namespace kx
