#pragma once
// Test fixture for the graphics primitives: the fresh screen switched to a
// pixel mode, and readers of the write page's pixels.
#include <cstdint>
#include <set>
#include <utility>

#include "fresh_screen.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"

class graphics_screen : public fresh_screen {
 public:
  using pixel_set = std::set<std::pair<int32_t, int32_t>>;

 protected:

  static void screen(int32_t mode) {
    kxg_screen(mode, 0, 0, 0, 1);
    ASSERT_EQ(take_error(), 0u);
  }
  // A 32-bit image made the destination and source.
  static int32_t page32(int32_t width, int32_t height) {
    const int32_t handle = func__newimage(width, height, 32, 1);
    sub__dest(handle);
    sub__source(handle);
    return handle;
  }
  static uint32_t at(int32_t x, int32_t y) {
    const img_struct& i = *write_page;
    const uint64_t p = uint64_t(y) * i.width + x;
    return i.bytes_per_pixel == 1 ? i.data[p] : kx::pixels32(i)[p];
  }
  // Every pixel that is not 0.
  static pixel_set lit() {
    pixel_set s;
    for (int32_t y = 0; y < write_page->height; ++y) {
      for (int32_t x = 0; x < write_page->width; ++x) {
        if (at(x, y)) s.insert({x, y});
      }
    }
    return s;
  }
  static void clear() { kx::clear_buffer(*write_page); }
};
