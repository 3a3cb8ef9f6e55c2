// _PRINTSTRING and _PRINTWIDTH at any position, in any built-in font and
// print mode, on text, palette and 32-bit images with or without a
// viewport; and _LOADFONT's option text. Errors may only be the ones those
// statements raise.
#include <cstring>

#include "graphics_fuzz_screen.h"
#include "screen/graphics/coordinates.h"
#include "screen/text/font_statements.h"
#include "screen/text/positioned_text.h"
#include "screen/text/print.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_input in(data, size);
  constexpr int32_t modes[] = {13, 32, 0, 12, 2};
  constexpr uint32_t fonts[] = {8, 9, 14, 15, 16, 17};
  img_struct& image = fuzz_image(modes[in.take<uint8_t>() % 5]);
  image.font = fonts[in.take<uint8_t>() % 6];
  kx::reset_cursor_and_viewport(image);
  const uint8_t form = in.take<uint8_t>();
  const uint8_t view = in.take<uint8_t>();
  const float x = in.take<float>(), y = in.take<float>();
  const auto options = in.bytes(in.take<uint8_t>() % 64);
  const auto text = in.rest();
  new_error = 0;
  // The bell's pause would only slow the search down.
  no_control_characters2 = 1;
  if (!image.text) image.print_mode = static_cast<uint8_t>(1 + form % 3);
  if (!image.text && (view & 1)) {
    kxg_sub_view(view >> 4, view & 0x0E, fuzz_image_width - 1 - (view >> 5), fuzz_image_height / 2, 0, 0, 1 | 2);
    fuzz_check(new_error.exchange(0) == 0);
  }
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs* s = kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size()));
  const int32_t width = func__printwidth(s, 0, 0);
  fuzz_check(width >= 0 && new_error.load() == 0);
  const int32_t before_x = image.cursor_x, before_y = image.cursor_y;
  sub__printstring(x, y, s, 0, (form & 0x80) ? 1 : 0);
  const uint32_t e = new_error.exchange(0);
  fuzz_check(e == 0 || (image.text && e == uint32_t{err::illegal_function_call}));
  fuzz_check(image.cursor_x == before_x && image.cursor_y == before_y);
  fuzz_check(write_page == &image);
  const int32_t flags = kx::font_option_flags(reinterpret_cast<const uint8_t*>(options.data()),
                                              static_cast<int32_t>(options.size()));
  const uint32_t option_error = new_error.exchange(0);
  fuzz_check(option_error == 0 ? flags >= 0 && flags <= 63 : option_error == uint32_t{err::illegal_function_call});
  kxs_cleanup(mark, 0);
  return 0;
}
