#include "screen/images/image_create.h"

#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "screen/fonts/fonts.h"
#include "screen/images/image_table.h"
#include "screen/images/mode_table.h"
#include "screen/images/palettes.h"

namespace {

// Font, colours, palette contents and transparency of the mode; the
// palette buffer itself is the caller's.
void apply_mode_defaults(img_struct& image, const mode_defaults& m) {
  image.bits_per_pixel = m.bits_per_pixel;
  image.bytes_per_pixel = m.bytes_per_pixel;
  image.mask = m.bits_per_pixel == 32 ? 0xFFFFFFFF : (uint32_t{1} << m.bits_per_pixel) - 1;
  image.font = m.font;
  image.color = m.color;
  image.background_color = m.background_color;
  image.draw_color = m.color;
  image.print_mode = print_mode_fill_background;
  image.text = m.mode == 0;
  if (image.text) {
    image.cursor_show = 0;
    image.cursor_first_line = 4;
    image.cursor_last_line = 4;
  }
  image.transparent_color = -1;
  image.alpha_disabled = 0;
  image.holding_cursor = 0;
  if (image.pal) restorepalette(&image);
}

}  // namespace

int32_t kx::text_rows(const img_struct& image) {
  if (image.text) return image.height;
  const int32_t h = fontheight[image.font];
  return h > 0 ? image.height / h : 0;
}

int32_t kx::text_columns(const img_struct& image) {
  if (image.text) return image.width;
  const int32_t w = fontwidth[image.font];
  return w > 0 ? image.width / w : image.width;
}

void kx::reset_cursor_and_viewport(img_struct& image) {
  image.cursor_x = 1;
  image.cursor_y = 1;
  image.top_row = 1;
  const int32_t rows = text_rows(image);
  image.bottom_row = rows - 1 < 1 ? 1 : rows - 1;
  image.graphics = img_struct::graphics_state{};
  image.graphics.draw_angle = 0;
  image.graphics.draw_scale = 1;
  if (!image.text) {
    auto& g = image.graphics;
    g.x = image.width / 2.0f;
    g.y = image.height / 2.0f;
    g.view_x2 = image.width - 1;
    g.view_y2 = image.height - 1;
    g.scaling_x = g.scaling_y = 1;
    g.window_x2 = image.width - 1;
    g.window_y2 = image.height - 1;
  }
}

void kx::default_colours_of(img_struct& image) {
  const auto m = defaults_of_mode(image.mode);
  image.color = m ? m->color : 15;
  image.background_color = m ? m->background_color : 0;
  image.draw_color = image.color;
}

void kx::clear_buffer(img_struct& image) {
  if (image.text) {
    fill_cells(image, 0, uint64_t{image.width} * image.height, blank_text_cell);
  } else {
    std::memset(image.data, 0, image_bytes(image));
  }
}

int32_t imgframe(uint8_t* data, int32_t width, int32_t height, int32_t mode) {
  if (width <= 0 || height <= 0 || width > image_size_max || height > image_size_max) return 0;
  const auto m = defaults_of_mode(mode);
  if (!m) return 0;
  const int32_t index = newimg();
  if (!index) return 0;
  img_struct& image = img[index];
  image.width = static_cast<uint16_t>(width);
  image.height = static_cast<uint16_t>(height);
  image.mode = static_cast<uint16_t>(mode);
  image.data = data;
  if (mode != 32) {
    image.pal = static_cast<uint32_t*>(std::calloc(256, sizeof(uint32_t)));
    if (!image.pal) {
      freeimg(index);
      return 0;
    }
    image.flags |= img_owns_palette;
  }
  apply_mode_defaults(image, *m);
  kx::reset_cursor_and_viewport(image);
  return index;
}

int32_t imgnew(int32_t width, int32_t height, int32_t mode) {
  const int32_t index = imgframe(nullptr, width, height, mode);
  if (!index) return 0;
  img_struct& image = img[index];
  // At most 65535 x 65535 x 4 bytes: the count fits in 64 bits.
  const uint64_t bytes = kx::image_bytes(image);
  image.data = static_cast<uint8_t*>(std::malloc(bytes));
  if (!image.data) {
    kx::free_image(index);
    return 0;
  }
  image.flags |= img_owns_data;
  kx::clear_buffer(image);
  return index;
}

void imgrevert(int32_t index) {
  img_struct& image = img[index];
  const auto m = defaults_of_mode(image.mode);
  if (!m) return;
  apply_mode_defaults(image, *m);
  kx::reset_cursor_and_viewport(image);
  kx::clear_buffer(image);
}

void selectfont(int32_t font, img_struct* image) {
  image->font = static_cast<uint32_t>(font);
  image->cursor_x = 1;
  image->cursor_y = 1;
  image->top_row = 1;
  const int32_t rows = kx::text_rows(*image);
  image->bottom_row = rows - 1 < 1 ? 1 : rows - 1;
}

void defaultcolors() { kx::default_colours_of(*write_page); }

bool validatepage(int32_t n) {
  if (n < 0) {
    error(err::illegal_function_call);
    return false;
  }
  const uint64_t needed = static_cast<uint64_t>(n) + 1;
  if (needed > page.capacity()) {
    if (!page.resize(needed)) {
      error(err::out_of_memory);
      return false;
    }
  }
  if (static_cast<int32_t>(needed) > pages) pages = static_cast<int32_t>(needed);
  if (page[static_cast<uint64_t>(n)]) return true;
  img_struct& first = img[page[0]];
  const int32_t index = imgnew(first.width, first.height, first.mode);
  if (!index) {
    error(err::out_of_memory);
    return false;
  }
  img_struct& made = img[index];
  if (made.mode != 32) {
    std::free(made.pal);
    made.flags &= ~img_owns_palette;
    made.pal = first.pal;
  }
  made.flags |= img_screen_page;
  selectfont(static_cast<int32_t>(first.font), &made);
  page[static_cast<uint64_t>(n)] = index;
  return true;
}

void kx::free_image(int32_t index) {
  img_struct& image = img[index];
  if (image.flags & img_owns_data) std::free(image.data);
  if (image.flags & img_owns_palette) std::free(image.pal);
  image.data = nullptr;
  image.pal = nullptr;
  freeimg(index);
}

void kx::release_all_images() {
  for (int32_t i = 0; i < nextimg; ++i) {
    if (img[i].valid) free_image(i);
  }
}
