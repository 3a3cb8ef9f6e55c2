// VAL, the radix literal check and READ over any bytes. VAL of plain
// decimal text must agree with the C library; READ must stay inside the
// DATA, move forward on success and return to the item on failure.
#include <cmath>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "values/read_data.h"
#include "values/string_create.h"
#include "values/string_release.h"
#include "values/type_codes.h"
#include "values/val.h"

namespace {

namespace tc = kx::type_code;
constexpr int32_t types[] = {8, 16, 32, 16 | tc::is_unsigned, 32 | tc::is_floating, 64 | tc::is_floating,
                             256 | tc::is_floating};

bool plain_decimal(std::string_view t) {
  if (t.empty()) return false;
  size_t i = t[0] == '-' ? 1 : 0;
  if (i == t.size()) return false;
  bool digit = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') digit = true;
    else return false;
  }
  return digit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_runtime_once();
  fuzz_input in(data, size);
  const auto choice = in.take<uint8_t>();
  const std::string bytes(in.rest());
  const uint32_t mark = kxs_tmp_list_nexti;
  new_error = 0;
  kxs* s = kxs_new_txt_len(bytes.data(), static_cast<int32_t>(bytes.size()));
  const kx_float v = func_val(s);
  if (plain_decimal(bytes)) fuzz_check(v == std::strtold(bytes.c_str(), nullptr));
  new_error = 0;
  const int32_t radix = hexoct2uint64(s);
  fuzz_check(radix >= 0 && radix <= 3);

  // READ every item of the bytes as DATA, each as a type of the choice.
  const auto* d = reinterpret_cast<const uint8_t*>(bytes.data());
  const auto length = static_cast<int64_t>(bytes.size());
  int64_t position = 0;
  kxs* target = kxs_new(0, 0);
  for (int guard = 0; guard <= length; ++guard) {
    new_error = 0;
    const int64_t before = position;
    switch ((choice + guard) % 4) {
      case 0: func_read_float(d, &position, length, types[(choice / 4 + guard) % 7]); break;
      case 1: func_read_int64(d, &position, length); break;
      case 2: func_read_uint64(d, &position, length); break;
      default: sub_read_string(d, &position, length, target);
    }
    fuzz_check(position >= 0 && position <= length);
    if (new_error) {
      fuzz_check(position == before);
      if (new_error == err::out_of_data && position >= length) break;
      // Past a refused item, as a program that skips it would.
      while (position < length && d[position] != ',') ++position;
      if (position < length) ++position;
    } else {
      fuzz_check(position > before);
    }
    if (position >= length) break;
  }
  new_error = 0;
  kxs_free(target);
  kxs_cleanup(mark, 0);
  return 0;
}
