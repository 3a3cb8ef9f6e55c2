// DRAW on any command string, with the data segment's first bytes (where
// "=" variables and X sub-strings point) taken from the input too. Errors
// may only be the ones DRAW raises.
#include <cstring>

#include "graphics_fuzz_screen.h"
#include "screen/graphics/draw.h"
#include "values/conventional_memory.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_input in(data, size);
  constexpr int32_t modes[] = {13, 32, 2, 1, 12};
  const int32_t mode = modes[in.take<uint8_t>() % 5];
  img_struct& image = fuzz_image(mode);
  image.graphics.draw_angle = in.take<int8_t>();
  const auto segment = in.bytes(in.take<uint8_t>());
  std::memset(dblock, 0, 1024);
  std::memcpy(dblock, segment.data(), segment.size());
  const auto commands = in.rest();
  new_error = 0;
  const uint32_t mark = kxs_tmp_list_nexti;
  sub_draw(kxs_new_txt_len(commands.data(), static_cast<int32_t>(commands.size())));
  kxs_cleanup(mark, 0);
  const uint32_t e = new_error.exchange(0);
  fuzz_check(e == 0 || e == uint32_t{err::illegal_function_call} || e == uint32_t{err::overflow});
  return 0;
}
