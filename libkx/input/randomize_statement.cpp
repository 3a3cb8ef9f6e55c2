// RANDOMIZE lives with INPUT: without a seed it asks for one at the
// keyboard.
#include "base/error.h"
#include "input/input_statement.h"
#include "screen/text/print.h"
#include "values/random_numbers.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {
constexpr int32_t seed_given = 1;
constexpr int32_t seed_restart = 3;
constexpr int32_t integer_type = 16;
}  // namespace

void sub_randomize(double seed, int32_t kind) {
  if (new_error) return;
  if (kind == seed_given || kind == seed_restart) {
    kx::seed_random(seed, kind == seed_restart);
    return;
  }
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs_print(kxs_new_txt("Random-number seed (-32768 to 32767)? "), 0);
  kxs_cleanup(mark, 0);
  int16_t answer = 0;
  kxs_input_variabletypes[1] = integer_type;
  kxs_input_variableoffsets[1] = &answer;
  kxs_input(1, 1);
  if (new_error) return;
  kx::seed_random_bits(answer);
}
