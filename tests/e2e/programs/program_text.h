#pragma once
// What the test programs say to their tests and the strings they hand the
// runtime.
#include <cstdio>
#include <string>

#include "values/string_create.h"

// A line on standard output, flushed at once so the test sees it.
inline void say(const char* text) {
  std::printf("%s\n", text);
  std::fflush(stdout);
}

// A new temporary string holding value.
inline kxs* text(const std::string& value) {
  return kxs_new_txt_len(value.data(), static_cast<int32_t>(value.size()));
}
