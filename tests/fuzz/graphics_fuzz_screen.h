#pragma once
// Small images made the destination and source for the graphics fuzzers:
// one per mode, made once and cleared for every input.
#include <sanitizer/lsan_interface.h>

#include <cstdint>
#include <map>

#include "fuzz_input.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/screen_startup.h"

inline constexpr int32_t fuzz_image_width = 80, fuzz_image_height = 60;

// The mode's image, blank and with a fresh graphics state, as write and
// read page.
inline img_struct& fuzz_image(int32_t mode) {
  static std::map<int32_t, int32_t> made;
  if (made.empty()) {
    fuzz_runtime_once();
    // The start-up screen's text pages drop one palette block when they come
    // to share page 0's; that is the screen layer's, once per process, and
    // not what these targets look for.
    __lsan_disable();
    screen_start_without_window();
    __lsan_enable();
  }
  int32_t& index = made[mode];
  if (!index) {
    // Kept for the process's life, in the image table's blocks, which the
    // leak checker does not see as roots.
    __lsan_disable();
    index = imgnew(fuzz_image_width, fuzz_image_height, mode);
    __lsan_enable();
  }
  if (!index) __builtin_trap();
  img_struct& image = img[index];
  kx::clear_buffer(image);
  kx::reset_cursor_and_viewport(image);
  write_page = read_page = &image;
  return image;
}
