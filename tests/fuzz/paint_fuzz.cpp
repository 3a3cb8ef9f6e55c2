// PAINT on random pictures, viewports, start points and colours: pixels
// outside the viewport and pixels of the border colour never change.
#include <cstring>
#include <vector>

#include "graphics_fuzz_screen.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/paint.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_input in(data, size);
  const bool deep = in.take<uint8_t>() & 1;
  img_struct& image = fuzz_image(deep ? 32 : 13);
  const int32_t width = image.width, height = image.height;
  const uint64_t bytes = kx::image_bytes(image);
  // Pixels from a few colours so that regions and borders form.
  const uint32_t colours[] = {0, 0xFF00FF00u, 0x80FF0000u, 0xFFFFFFFFu};
  for (uint64_t i = 0; i < bytes / image.bytes_per_pixel; ++i) {
    const uint8_t b = in.take<uint8_t>() % 4;
    if (deep) kx::pixels32(image)[i] = colours[b];
    else image.data[i] = b;
  }
  const std::vector<uint8_t> before(image.data, image.data + bytes);
  new_error = 0;
  if (in.take<uint8_t>() & 1) {
    kxg_sub_view(in.take<uint8_t>() % width, in.take<uint8_t>() % height, in.take<uint8_t>() % width,
                 in.take<uint8_t>() % height, 0, 0, 1 | (in.take<uint8_t>() & 2));
  }
  const float x = in.take<int8_t>(), y = in.take<int8_t>();
  const uint32_t fill = deep ? colours[in.take<uint8_t>() % 4] : in.take<uint8_t>() % 4;
  const uint32_t border = deep ? colours[in.take<uint8_t>() % 4] : in.take<uint8_t>() % 4;
  const uint32_t mark = kxs_tmp_list_nexti;
  bool empty_tile = false;  // refused with error 5
  if (!deep && (in.take<uint8_t>() & 1)) {
    const auto tile = in.bytes(1 + in.take<uint8_t>() % 64);
    empty_tile = tile.empty();
    sub_paint(x, y, kxs_new_txt_len(tile.data(), static_cast<int32_t>(tile.size())), border, nullptr, 4);
  } else {
    sub_paint(x, y, fill, border, nullptr, 2 | 4 | (in.take<uint8_t>() & 1));
  }
  kxs_cleanup(mark, 0);
  const auto& g = image.graphics;
  for (int32_t py = 0; py < height; ++py) {
    for (int32_t px = 0; px < width; ++px) {
      const uint64_t i = (uint64_t(py) * width + px) * image.bytes_per_pixel;
      const bool changed = std::memcmp(image.data + i, before.data() + i, image.bytes_per_pixel) != 0;
      if (!changed) continue;
      fuzz_check(kx::in_viewport(g, px, py));
      uint32_t old = 0;
      std::memcpy(&old, before.data() + i, image.bytes_per_pixel);
      fuzz_check(old != (deep ? border : border & image.mask));
    }
  }
  fuzz_check(new_error.exchange(0) == (empty_tile ? uint32_t{err::illegal_function_call} : 0u));
  return 0;
}
