// _PUTIMAGE, GET and PUT with random corners, STEP and image choices
// (copies onto the same image among them), array sizes, headers, actions
// and transparency, between images of every depth: nothing is read or
// written outside an image or an array, and the only error is 5.
#include <vector>

#include "graphics_fuzz_screen.h"
#include "screen/copy/graphics_get_put.h"
#include "screen/copy/putimage.h"
#include "values/byte_element.h"

namespace {

constexpr int32_t modes[] = {1, 2, 7, 12, 13, 32};

int32_t handle_of(const img_struct& image) { return -kx::image_index(&image); }

// A coordinate a little beyond the images on every side.
float coordinate(fuzz_input& in) { return static_cast<float>(in.take<int8_t>()) * 1.5f; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_input in(data, size);
  const int32_t src_mode = modes[in.take<uint8_t>() % 6], dst_mode = modes[in.take<uint8_t>() % 6];
  img_struct& source = fuzz_image(src_mode);
  // Pixels from a short seed, so that the input goes to the statements.
  uint32_t seed = in.take<uint32_t>() | 1;
  for (uint64_t i = 0; i < kx::image_bytes(source); ++i) {
    seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    source.data[i] = static_cast<uint8_t>(seed % 3 == 0 ? 0 : seed);
  }
  source.transparent_color = (in.take<uint8_t>() & 1) ? in.take<uint8_t>() : -1;
  const int32_t src = handle_of(source);
  img_struct& dest = fuzz_image(dst_mode);  // the write and read page
  dest.alpha_disabled = in.take<uint8_t>() & 1;
  new_error = 0;
  std::vector<uint8_t> array(in.take<uint16_t>() % 8192);
  byte_element_struct bytes{reinterpret_cast<uint64_t>(array.data()), static_cast<int32_t>(array.size())};
  for (int step = 0; step < 4 && in.left(); ++step) {
    switch (in.take<uint8_t>() % 3) {
      case 0: {
        const float dx1 = coordinate(in), dy1 = coordinate(in), dx2 = coordinate(in), dy2 = coordinate(in);
        const float sx1 = coordinate(in), sy1 = coordinate(in), sx2 = coordinate(in), sy2 = coordinate(in);
        const int32_t passed = in.take<uint16_t>() & 0x7FF;
        sub__putimage(dx1, dy1, dx2, dy2, src, handle_of(dest), sx1, sy1, sx2, sy2, passed);
        break;
      }
      case 1: {
        const float x1 = coordinate(in), y1 = coordinate(in), x2 = coordinate(in), y2 = coordinate(in);
        sub_graphics_get(&bytes, in.take<uint32_t>(), in.take<uint8_t>() & 7, x1, y1, x2, y2);
        break;
      }
      default: {
        // Sometimes a header of the fuzzer's own.
        if (array.size() >= 4 && (in.take<uint8_t>() & 1)) {
          for (int i = 0; i < 4; ++i) array[size_t(i)] = in.take<uint8_t>();
        }
        const float x = coordinate(in), y = coordinate(in);
        const int32_t action = in.take<uint8_t>() % 7;
        sub_graphics_put(&bytes, action, in.take<uint32_t>(), in.take<uint8_t>() & 7, x, y);
        break;
      }
    }
    const uint32_t e = new_error.exchange(0);
    fuzz_check(e == 0 || e == uint32_t{err::illegal_function_call});
  }
  return 0;
}
