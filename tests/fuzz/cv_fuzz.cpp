// The CV family and the MBF conversions on any bytes. Besides staying
// inside the input, converting back must reproduce it wherever the format
// is exact.
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "values/binary_conversions.h"
#include "values/mbf.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

bool same_bytes(const kxs* s, std::string_view expected) {
  return s->length == static_cast<int32_t>(expected.size()) &&
         (expected.empty() || std::memcmp(s->chars, expected.data(), expected.size()) == 0);
}

kxs* literal(std::string_view bytes) {
  return kxs_new_txt_len(bytes.data(), static_cast<int32_t>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_runtime_once();
  fuzz_input in(data, size);
  const auto bits = static_cast<uint32_t>(in.take<uint8_t>() % 70);
  const std::string bytes(in.rest());
  const std::string_view view(bytes);
  const uint32_t mark = kxs_tmp_list_nexti;
  new_error = 0;
  kxs* s = literal(view);

  // Every CV reads at most its own size, whatever the length.
  const bool has2 = view.size() >= 2, has4 = view.size() >= 4, has8 = view.size() >= 8;
  const int16_t i = string2i(s);
  const int32_t l = string2l(s);
  const int64_t q = string2i64(s);
  string2b(s);
  string2ub(s);
  string2ui(s);
  string2ul(s);
  string2ui64(s);
  string2s(s);
  string2d(s);
  string2f(s);
  new_error = 0;
  if (has2) fuzz_check(same_bytes(i2string(i), view.substr(0, 2)));
  if (has4) fuzz_check(same_bytes(l2string(l), view.substr(0, 4)));
  if (has8) fuzz_check(same_bytes(i642string(q), view.substr(0, 8)));

  // Bit types: the value read keeps only the low bits, and writing it back
  // gives the first bytes with the unused high bits cleared.
  const int64_t b = string2bit(s, bits);
  const uint64_t ub = string2ubit(s, bits);
  const bool bits_valid = bits >= 1 && bits <= 64 && view.size() >= (bits + 7) / 8;
  fuzz_check(bits_valid == (new_error == 0));
  new_error = 0;
  if (bits_valid) {
    fuzz_check(static_cast<uint64_t>(b) << (64 - bits) == ub << (64 - bits));
    kxs* back = ubit2string(bits, ub);
    fuzz_check(back->length == static_cast<int32_t>((bits + 7) / 8));
    fuzz_check(string2ubit(back, bits) == ub);
  }

  // MBF: reading then writing an MBF single of a normal exponent gives the
  // same bytes; a double read back from its MBF form is unchanged.
  const float single = func_cvsmbf(s);
  new_error = 0;
  if (has4 && static_cast<uint8_t>(view[3]) > 2) {
    kxs* back = func_mksmbf(single);
    fuzz_check(new_error == 0 && same_bytes(back, view.substr(0, 4)));
  }
  const double dbl = func_cvdmbf(s);
  fuzz_check(has8 == (new_error == 0));
  new_error = 0;
  if (has8 && dbl != 0) {
    // Rounding the highest MBF exponent's mantissa up may reach 2^127,
    // which MBF cannot hold.
    kxs* back = func_mkdmbf(dbl);
    if (new_error)
      fuzz_check(std::fabs(dbl) >= std::ldexp(1.0, 127));
    else
      fuzz_check(func_cvdmbf(back) == dbl);
    new_error = 0;
  }
  // Any double whose exponent fits goes through MBF and back exactly.
  if (has8) {
    double x;
    std::memcpy(&x, view.data(), 8);
    kxs* m = func_mkdmbf(x);
    if (new_error == 0 && m->length == 8 && std::fabs(x) >= std::ldexp(1.0, -128)) fuzz_check(func_cvdmbf(m) == x);
    new_error = 0;
  }
  new_error = 0;
  kxs_cleanup(mark, 0);
  return 0;
}
