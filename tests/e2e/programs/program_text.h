#pragma once
// What the test programs say to their tests and the strings they hand the
// runtime.
#include <cstdio>
#include <string>
#include <string_view>

#include "input/inkey.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

// A line on standard output, flushed at once so the test sees it.
inline void say(std::string_view line) {
  std::printf("%.*s\n", static_cast<int>(line.size()), line.data());
  std::fflush(stdout);
}

// A new temporary string holding value.
inline kxs* text(const std::string& value) {
  return kxs_new_txt_len(value.data(), static_cast<int32_t>(value.size()));
}

// INKEY$ as a std::string: the next key, or empty when none is waiting.
inline std::string take_key() {
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs* k = kxs_inkey();
  std::string key(reinterpret_cast<const char*>(k->chars), static_cast<size_t>(k->length));
  kxs_cleanup(mark, 0);
  return key;
}
