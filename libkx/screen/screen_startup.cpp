#include "screen/screen_startup.h"

#include <cstring>

#include "base/hooks.h"
#include "screen/compose/alt_enter_cycle.h"
#include "screen/compose/composer.h"
#include "screen/compose/frame_slots.h"
#include "screen/compose/presentation_state.h"
#include "screen/fonts/font_engine.h"
#include "screen/fonts/fonts.h"
#include "screen/images/hardware_images.h"
#include "screen/images/icon_pictures.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/palettes.h"
#include "screen/images/screen_modes.h"

int32_t image_kxicon16_handle = 0;
int32_t image_kxicon32_handle = 0;

namespace {

int32_t icon_image(int size, const uint32_t* pixels) {
  const int32_t index = imgnew(size, size, 32);
  if (!index) return 0;
  std::memcpy(img[index].data, pixels, size_t(size) * size * 4);
  img[index].flags |= img_runtime_owned;
  return -index;
}

}  // namespace

void screen_renderer_init() {
  frame_slots_reset();
  kx::composer_reset();
  hardware_images_init();
  kx::hooks.full_screen_key = &kx::cycle_full_screen;
  set_dynamic_info();
}

void set_dynamic_info() {
  if (ScreenResize) resize_snapback = 0;
  if (ScreenResizeScale) resize_auto = ScreenResizeScale;
}

void screen_fonts_init() {
  font_metrics_init();
  kx::font_table_init();
}

void screen_images_init() {
  kx::release_all_images();
  image_table_init();
  kx::pending_width = {};
  kx::screen_page_is_application_image = false;
}

void screen_palettes_init() {
  palettes_init();
  charsets_init();
}

void screen_mode_init() {
  kxg_screen(0, 0, 0, 0, 1);
  width8050switch = 1;
}

void screen_icons_init() {
  image_kxicon16_handle = icon_image(16, image_kxicon16.data());
  image_kxicon32_handle = icon_image(32, image_kxicon32.data());
}

void screen_start_without_window() {
  screen_renderer_init();
  screen_fonts_init();
  screen_images_init();
  screen_palettes_init();
  screen_mode_init();
}
