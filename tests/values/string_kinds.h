#pragma once
// Strings of every kind that a string function may be handed, for tests of
// the reusable-temporary rule.
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "fresh_memory.h"
#include "values/string_create.h"
#include "values/string_release.h"

// A temporary in the main pool: the only kind a function may change in place.
inline kxs* temp_of(std::string_view text) {
  kxs* s = kxs_new(static_cast<int32_t>(text.size()), 1);
  put_text(s, text);
  return s;
}

// A permanent main-pool string (a variable).
inline kxs* variable_of(std::string_view text) {
  kxs* s = kxs_new(static_cast<int32_t>(text.size()), 0);
  put_text(s, text);
  return s;
}

// A literal over constant text; the text must outlive the string.
inline kxs* literal_of(std::string_view text) {
  return kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size()));
}

// A temporary in the data segment, which legacy programs may look at.
inline kxs* conventional_temp_of(std::string_view text) {
  kxs* s = kxs_new_cmem(static_cast<int32_t>(text.size()), 1);
  put_text(s, text);
  return s;
}

// True when s is listed as a live temporary (not yet freed).
inline bool is_live_temp(const kxs* s) {
  return s->temp_index != 0 && s->temp_index < kxs_tmp_list_nexti && kxs_tmp_list[s->temp_index] == s;
}

// A string of the given byte values.
inline std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}

// Takes and clears the pending error number.
inline uint32_t take_error() { return new_error.exchange(0); }
