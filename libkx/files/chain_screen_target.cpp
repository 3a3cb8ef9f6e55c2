#include <cstdint>
#include <cstring>

#include "base/error.h"
#include "files/chain_input.h"
#include "screen/fonts/fonts.h"
#include "screen/images/image_create.h"
#include "screen/images/image_record.h"
#include "screen/images/image_statements.h"
#include "screen/images/image_table.h"
#include "screen/images/rgb_functions.h"
#include "screen/images/screen_modes.h"

namespace {

// A statement the state file asks for; a statement that raised an error
// was refused: the error is dropped (the program has not started yet) and
// the restore stops.
template <class Statement>
bool accepted(Statement statement) {
  if (new_error.load()) return false;
  statement();
  return new_error.exchange(0) == 0;
}

class screen_layer_target final : public kx::chain_screen_target {
 public:
  bool screen_mode(int32_t mode) override {
    return accepted([&] { kxg_screen(mode, 0, 0, 0, 1); });
  }
  bool width(int32_t columns, int32_t rows) override {
    return accepted([&] { kxsub_width(kx_width_screen, columns, rows, 3); });
  }
  bool new_image_screen(int32_t bits, int32_t width, int32_t height) override {
    return accepted([&] {
      const int32_t image = func__newimage(width, height, bits, 1);
      if (image < -1) kxg_screen(image, 0, 0, 0, 1);
    });
  }
  bool font(int32_t font) override {
    // The built-in fonts only: loaded fonts belong to the process that
    // loaded them.
    if (!kx::is_builtin_font(static_cast<uint32_t>(font))) return false;
    return accepted([&] { selectfont(font, write_page); });
  }
  int64_t page_pixel_bytes(int32_t number) override {
    if (number < 0) return -1;
    img_struct* image = nullptr;
    if (!accepted([&] { image = kx::image_or_page(number); }) || !image) return -1;
    return static_cast<int64_t>(kx::image_bytes(*image));
  }
  int64_t page_record_size() override { return sizeof(img_struct); }
  bool restore_page(int32_t number, std::span<const uint8_t> pixels, std::span<const uint8_t> record) override {
    img_struct* image = nullptr;
    if (!accepted([&] { image = kx::image_or_page(number); }) || !image) return false;
    if (record.size() != sizeof(img_struct) || pixels.size() != kx::image_bytes(*image)) return false;
    // The saved record stays in scratch space: its pointers, lock, flags
    // and sizes belong to another process. Only plain state is taken.
    img_struct saved;
    std::memcpy(&saved, record.data(), sizeof saved);
    if (saved.width != image->width || saved.height != image->height || saved.mode != image->mode ||
        saved.bytes_per_pixel != image->bytes_per_pixel || saved.text != image->text)
      return false;
    if (!pixels.empty()) std::memcpy(image->data, pixels.data(), pixels.size());
    if (!image->text && kx::is_builtin_font(saved.font) && saved.font != image->font) selectfont(static_cast<int32_t>(saved.font), image);
    const int32_t rows = kx::text_rows(*image);
    const int32_t columns = kx::text_columns(*image);
    if (saved.top_row >= 1 && saved.top_row <= saved.bottom_row && saved.bottom_row <= rows) {
      image->top_row = saved.top_row;
      image->bottom_row = saved.bottom_row;
    }
    if (saved.cursor_x >= 1 && saved.cursor_x <= columns && saved.cursor_y >= 1 && saved.cursor_y <= rows) {
      image->cursor_x = saved.cursor_x;
      image->cursor_y = saved.cursor_y;
    }
    image->cursor_show = saved.cursor_show ? 1 : 0;
    // Colour numbers of palette images stay inside the palette.
    const uint32_t colours = image->bytes_per_pixel == 4 ? UINT32_MAX : (image->mask ? image->mask : 0xFF);
    image->color = saved.color & colours;
    image->background_color = saved.background_color & colours;
    image->draw_color = saved.draw_color & colours;
    return true;
  }
  bool pages(int32_t active, int32_t visual) override {
    return accepted([&] { kxg_screen(0, 0, active, visual, 4 | 8); });
  }
  bool palette_colour(int32_t index, uint32_t colour) override {
    return accepted([&] { sub__palettecolor(index, colour, 0, 0); });
  }
};

}  // namespace

namespace kx {

chain_screen_target* chain_default_screen_target() {
  static screen_layer_target target;
  return &target;
}

}  // namespace kx
