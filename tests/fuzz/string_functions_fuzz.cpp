// The string functions with any positions, counts and bytes, checked
// against std::string doing the same by the stated rules.
#include <algorithm>
#include <string>

#include "fuzz_input.h"
#include "values/string_create.h"
#include "values/string_extract.h"
#include "values/string_overwrite.h"
#include "values/string_release.h"
#include "values/string_search.h"

namespace {

std::string text_of(const kxs* s) { return std::string(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length)); }

kxs* temp_of(const std::string& text, bool reusable) {
  if (!reusable) return kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size()));
  kxs* s = kxs_new(static_cast<int32_t>(text.size()), 1);
  std::copy(text.begin(), text.end(), s->chars);
  return s;
}

std::string mid_model(const std::string& s, int64_t start, int64_t n, bool passed) {
  const auto length = static_cast<int64_t>(s.size());
  if (!passed) {
    start = std::max<int64_t>(start, 1);
    return start > length ? std::string() : s.substr(static_cast<size_t>(start - 1));
  }
  if (start < 1) {
    n -= 1 - start;
    start = 1;
  }
  if (n < 1 || start > length) return std::string();
  return s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(std::min(n, length - start + 1)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_runtime_once();
  fuzz_input in(data, size);
  const auto flags = in.take<uint8_t>();
  const auto start = in.take<int32_t>();
  const auto count = in.take<int32_t>();
  const auto split = in.take<uint8_t>();
  const std::string t(in.bytes(split % 8));
  const std::string s(in.rest());
  const bool reusable = flags & 1;
  const bool passed = flags & 2;
  const uint32_t mark = kxs_tmp_list_nexti;
  new_error = 0;

  fuzz_check(text_of(func_mid(temp_of(s, reusable), start, count, passed)) == mid_model(s, start, count, passed));
  const auto clipped = static_cast<size_t>(std::clamp<int64_t>(count, 0, static_cast<int64_t>(s.size())));
  fuzz_check(text_of(kxs_left(temp_of(s, reusable), count)) == s.substr(0, clipped));
  fuzz_check(text_of(kxs_right(temp_of(s, reusable), count)) == s.substr(s.size() - clipped));
  const std::string trimmed = text_of(kxs__trim(temp_of(s, reusable)));
  fuzz_check(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));

  const int32_t found = func_instr(start, temp_of(s, false), temp_of(t, false), passed);
  if (found > 0 && !t.empty()) fuzz_check(s.compare(static_cast<size_t>(found - 1), t.size(), t) == 0);
  const int32_t last = func__instrrev(start, temp_of(s, false), temp_of(t, false), passed);
  if (last > 0 && !t.empty()) fuzz_check(s.compare(static_cast<size_t>(last - 1), t.size(), t) == 0);
  if (!passed && !t.empty() && t.size() <= s.size()) {
    const size_t r = s.rfind(t);
    fuzz_check(last == (r == std::string::npos ? 0 : static_cast<int32_t>(r) + 1));
  }

  // The statements never change the target's length.
  kxs* v = kxs_new(static_cast<int32_t>(s.size()), 0);
  std::copy(s.begin(), s.end(), v->chars);
  sub_mid(v, start, count, temp_of(t, false), passed);
  fuzz_check(v->length == static_cast<int32_t>(s.size()));
  sub_mid(v, count, start, v, passed);
  (flags & 4 ? sub_lset : sub_rset)(v, temp_of(t, false));
  fuzz_check(v->length == static_cast<int32_t>(s.size()));
  kxs_free(v);
  fuzz_check(new_error == 0);
  kxs_cleanup(mark, 0);
  return 0;
}
