#pragma once
// Small images made the destination and source for the graphics fuzzers:
// one per mode, made once and cleared for every input.
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
    screen_start_without_window();
  }
  // Kept for the process's life; the image table releases it at exit.
  int32_t& index = made[mode];
  if (!index) index = imgnew(fuzz_image_width, fuzz_image_height, mode);
  if (!index) __builtin_trap();
  img_struct& image = img[index];
  kx::clear_buffer(image);
  kx::reset_cursor_and_viewport(image);
  write_page = read_page = &image;
  return image;
}
