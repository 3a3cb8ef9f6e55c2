#include "screen/images/image_statements.h"

#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "screen/images/hardware_images.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/mode_table.h"
#include "screen/images/rgb_functions.h"

namespace {

constexpr int32_t hardware_copy_mode = 33;
constexpr uint32_t palette_bytes = 256 * sizeof(uint32_t);

bool is_hardware_handle(int32_t handle) { return handle < SOFTWARE_IMG_HANDLE_MIN; }

}  // namespace

int32_t func__newimage(int32_t width, int32_t height, int32_t mode, int32_t passed) {
  if (new_error.load()) return 0;
  if (width <= 0 || height <= 0 || width > image_size_max || height > image_size_max) {
    error(err::illegal_function_call);
    return 0;
  }
  const bool has_mode = passed & 1;
  if (has_mode && !defaults_of_mode(mode)) {
    error(err::illegal_function_call);
    return 0;
  }
  const img_struct& model = *write_page;
  const int32_t index = imgnew(width, height, has_mode ? mode : model.mode);
  if (!index) return -1;
  if (!has_mode) {
    img_struct& made = img[index];
    if (made.pal && model.pal) std::memcpy(made.pal, model.pal, palette_bytes);
    selectfont(static_cast<int32_t>(model.font), &made);
    made.color = model.color;
    made.background_color = model.background_color;
    made.draw_color = model.color;
    made.transparent_color = model.transparent_color;
    made.alpha_disabled = model.alpha_disabled;
    made.print_mode = model.print_mode;
  }
  return -index;
}

int32_t func__copyimage(int32_t image, int32_t mode, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* source = kx::optional_image(image, passed);
  if (!source) return 0;
  if (passed & 2) {
    if (mode == hardware_copy_mode && source->bytes_per_pixel == 4) {
      return hardware_img_from_pixels(source->width, source->height, kx::pixels32(*source));
    }
    if (mode != source->mode) {
      error(err::illegal_function_call);
      return 0;
    }
  }
  const int32_t index = newimg();
  if (!index) return 0;
  img_struct& copy = img[index];
  copy = *source;
  copy.lock = nullptr;
  copy.lock_id = 0;
  copy.flags = (copy.flags & ~img_screen_page) | img_owns_data;
  const uint64_t bytes = kx::image_bytes(*source);
  copy.data = static_cast<uint8_t*>(std::malloc(bytes));
  copy.pal = nullptr;
  if (source->pal) {
    copy.pal = static_cast<uint32_t*>(std::malloc(palette_bytes));
    copy.flags |= img_owns_palette;
  }
  if (!copy.data || (source->pal && !copy.pal)) {
    std::free(copy.data);
    std::free(copy.pal);
    copy.data = nullptr;
    copy.pal = nullptr;
    copy.flags = 0;
    freeimg(index);
    return -1;
  }
  std::memcpy(copy.data, source->data, bytes);
  if (source->pal) std::memcpy(copy.pal, source->pal, palette_bytes);
  return -index;
}

void sub__freeimage(int32_t image, int32_t passed) {
  if (new_error.load()) return;
  if (!(passed & 1)) image = -write_page_index;
  if (image >= 0) {
    error(err::illegal_function_call);
    return;
  }
  if (is_hardware_handle(image)) {
    if (!hardware_img_request_free(image)) error(err::invalid_handle);
    return;
  }
  img_struct* victim = kx::image_from_handle(image);
  if (!victim) return;
  if (victim->flags & (img_screen_page | img_runtime_owned)) {
    error(err::illegal_function_call);
    return;
  }
  const int32_t index = -image;
  if (write_page_index == index) {
    write_page_index = display_page_index.load();
    write_page = display_page.load();
  }
  if (read_page_index == index) {
    read_page_index = display_page_index.load();
    read_page = display_page.load();
  }
  kx::free_image(index);
}

void freeallimages() {
  for (int32_t i = 2; i < nextimg; ++i) {
    if (img[i].valid && !(img[i].flags & (img_screen_page | img_runtime_owned))) sub__freeimage(-i, 1);
  }
}

void sub__source(int32_t image) {
  if (new_error.load()) return;
  int32_t index;
  img_struct* i = kx::image_or_page(image, &index);
  if (!i) return;
  read_page = i;
  read_page_index = index;
}

void sub__dest(int32_t image) {
  if (new_error.load()) return;
  int32_t index;
  img_struct* i = kx::image_or_page(image, &index);
  if (!i) return;
  write_page = i;
  write_page_index = index;
}

int32_t func__source() { return -read_page_index; }
int32_t func__dest() { return -write_page_index; }
int32_t func__display() { return -display_page_index.load(); }

void sub__blend(int32_t image, int32_t passed) {
  if (new_error.load()) return;
  if ((passed & 1) && is_hardware_handle(image)) {
    if (!hardware_img_set_blend(image, true)) error(err::invalid_handle);
    return;
  }
  img_struct* i = kx::optional_image(image, passed);
  if (!i) return;
  if (i->bytes_per_pixel != 4) {
    error(err::illegal_function_call);
    return;
  }
  i->alpha_disabled = 0;
}

void sub__dontblend(int32_t image, int32_t passed) {
  if (new_error.load()) return;
  if ((passed & 1) && is_hardware_handle(image)) {
    if (!hardware_img_set_blend(image, false)) error(err::invalid_handle);
    return;
  }
  img_struct* i = kx::optional_image(image, passed);
  if (!i) return;
  if (i->bytes_per_pixel == 4) i->alpha_disabled = 1;
}

int32_t func__blend(int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  return i->bytes_per_pixel == 4 && !i->alpha_disabled ? -1 : 0;
}

void sub__clearcolor(int32_t none, uint32_t colour, int32_t image, int32_t passed) {
  if (new_error.load()) return;
  img_struct* i = kx::optional_image(image, passed, 2);
  if (!i) return;
  const bool has_colour = passed & 1;
  const bool none_alone = none && !has_colour;
  if (i->text) {
    if (!none_alone) error(err::illegal_function_call);
    return;
  }
  if (i->bytes_per_pixel == 1) {
    if (none_alone) {
      i->transparent_color = -1;
    } else if (!none && has_colour && colour < 256) {
      i->transparent_color = static_cast<int32_t>(colour);
    } else {
      error(err::illegal_function_call);
    }
    return;
  }
  if (none_alone) return;
  if (none || !has_colour) {
    error(err::illegal_function_call);
    return;
  }
  uint32_t* p = kx::pixels32(*i);
  const uint64_t n = uint64_t{i->width} * i->height;
  const uint32_t rgb = colour & 0xFFFFFF;
  for (uint64_t k = 0; k < n; ++k) {
    if ((p[k] & 0xFFFFFF) == rgb) p[k] = rgb;
  }
}

int32_t func__clearcolor(int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  if (i->text) return -1;
  if (i->bytes_per_pixel == 4) return 0;
  return i->transparent_color;
}

void sub__setalpha(int32_t alpha, uint32_t c1, uint32_t c2, int32_t image, int32_t passed) {
  if (new_error.load()) return;
  img_struct* i = kx::optional_image(image, passed, 4);
  if (!i) return;
  if (i->bytes_per_pixel != 4 || alpha < 0 || alpha > 255) {
    error(err::illegal_function_call);
    return;
  }
  const uint32_t a = static_cast<uint32_t>(alpha) << 24;
  uint32_t* p = kx::pixels32(*i);
  const uint64_t n = uint64_t{i->width} * i->height;
  const bool has_c1 = passed & 1;
  const bool has_c2 = passed & 2;
  if (!has_c1) {
    for (uint64_t k = 0; k < n; ++k) p[k] = (p[k] & 0xFFFFFF) | a;
    return;
  }
  if (!has_c2 || c1 == c2) {
    for (uint64_t k = 0; k < n; ++k) {
      if (p[k] == c1) p[k] = (p[k] & 0xFFFFFF) | a;
    }
    return;
  }
  uint32_t low[4], high[4];
  for (int ch = 0; ch < 4; ++ch) {
    const uint32_t x = (c1 >> (8 * ch)) & 0xFF, y = (c2 >> (8 * ch)) & 0xFF;
    low[ch] = x < y ? x : y;
    high[ch] = x < y ? y : x;
  }
  for (uint64_t k = 0; k < n; ++k) {
    bool inside = true;
    for (int ch = 0; ch < 4 && inside; ++ch) {
      const uint32_t v = (p[k] >> (8 * ch)) & 0xFF;
      inside = v >= low[ch] && v <= high[ch];
    }
    if (inside) p[k] = (p[k] & 0xFFFFFF) | a;
  }
}

namespace {

// _WIDTH and _HEIGHT: one size of a hardware image, an image or a page.
int32_t image_size(int32_t image, int32_t passed, bool width) {
  if (new_error.load()) return 0;
  if ((passed & 1) && is_hardware_handle(image)) {
    const auto size = hardware_img_size(image);
    if (!size) {
      error(err::invalid_handle);
      return 0;
    }
    return width ? size->first : size->second;
  }
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  return width ? i->width : i->height;
}

}  // namespace

int32_t func__width(int32_t image, int32_t passed) { return image_size(image, passed, true); }
int32_t func__height(int32_t image, int32_t passed) { return image_size(image, passed, false); }

int32_t func__pixelsize(int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  if (!i) return 0;
  return i->text ? 0 : i->bytes_per_pixel;
}

uint32_t func__defaultcolor(int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  return i ? i->color : 0;
}

uint32_t func__backgroundcolor(int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* i = kx::optional_image(image, passed);
  return i ? i->background_color : 0;
}
