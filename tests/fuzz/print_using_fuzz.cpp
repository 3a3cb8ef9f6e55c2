// PRINT USING with any format and value: up to four calls walk the format
// as a statement with four values would. Returned positions must stay
// inside the format, and nothing may read or write outside its bytes.
#include <cmath>
#include <string>

#include "fuzz_input.h"
#include "values/print_using.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

class counting_destination final : public kx::using_destination {
 public:
  void append(const uint8_t* bytes, size_t length) override {
    // Touch every byte handed over, so a bad pointer or length shows.
    for (size_t i = 0; i < length; ++i) sum += bytes[i];
    total += length;
  }
  size_t total = 0;
  unsigned sum = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_runtime_once();
  fuzz_input in(data, size);
  const auto kinds = in.take<uint8_t>();
  const auto start = in.take<int32_t>();
  const auto integer = in.take<int64_t>();
  const auto real = in.take<double>();
  const auto text_length = in.take<uint8_t>();
  const std::string text(in.bytes(text_length));
  const std::string format(in.rest());

  const uint32_t mark = kxs_tmp_list_nexti;
  kxs* f = kxs_new_txt_len(format.data(), static_cast<int32_t>(format.size()));
  counting_destination d;
  kxs* line = kxs_new(0, 0);
  int32_t pos = (kinds & 0x80) ? start : 0;
  for (int call = 0; call < 4; ++call) {
    new_error = 0;
    const int kind = (kinds >> (call * 2)) & 3;
    kx::using_destination& dest = d;
    switch ((kind + call) % 7) {
      case 0:
        pos = print_using(f, pos, dest, kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size())));
        break;
      case 1:
        pos = print_using_integer64(f, integer, pos, dest);
        break;
      case 2:
        pos = print_using_uinteger64(f, static_cast<uint64_t>(integer), pos, dest);
        break;
      case 3:
        pos = print_using_single(f, static_cast<float>(real), pos, dest);
        break;
      case 4:
        pos = print_using_double(f, real, pos, line);
        break;
      case 5:
        // Now and then an extended value far beyond DOUBLE's range, with
        // thousands of digits (slow to print, so not every time).
        pos = print_using_float(f, std::ldexp(static_cast<kx_float>(real), static_cast<int>(integer % ((kinds & 0x40) ? 16000 : 64))),
                                pos, dest);
        break;
      default:
        pos = print_using(f, pos, line, nullptr);
    }
    fuzz_check(pos >= 0 && static_cast<size_t>(pos) <= format.size());
  }
  new_error = 0;
  kxs_free(line);
  kxs_cleanup(mark, 0);
  return 0;
}
