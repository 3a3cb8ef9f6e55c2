#include "screen/text/screen_read.h"

#include <cstring>

#include "base/error.h"
#include "screen/fonts/fonts.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"

namespace {

constexpr uint32_t blank_character = 32;

uint32_t pixel_at(const img_struct& image, int32_t x, int32_t y) {
  const uint64_t i = uint64_t(y) * image.width + x;
  return image.bytes_per_pixel == 1 ? image.data[i] : kx::pixels32(image)[i];
}

}  // namespace

uint32_t func_screen(int32_t row, int32_t column, int32_t colourflag, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct& image = *read_page;
  const bool attribute = (passed & 1) && colourflag != 0;
  if (row < 1 || column < 1 || row > kx::text_rows(image) || column > kx::text_columns(image)) {
    error(err::illegal_function_call);
    return 0;
  }
  if (image.text) {
    const uint16_t cell = kx::cell_at(image, uint64_t(row - 1) * image.width + (column - 1));
    return attribute ? cell >> 8 : cell & 0xFF;
  }
  const uint32_t font = image.font;
  if (font != 8 && font != 14 && font != 16) {
    error(err::illegal_function_call);
    return 0;
  }
  const int32_t fh = fontheight[font];
  const int32_t x0 = (column - 1) * 8, y0 = (row - 1) * fh;
  uint8_t pattern[16 * 8];
  uint32_t first_ink = 0;
  bool any = false;
  for (int32_t y = 0; y < fh; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const uint32_t p = pixel_at(image, x0 + x, y0 + y);
      pattern[y * 8 + x] = p ? 255 : 0;
      if (p && !any) {
        any = true;
        first_ink = p;
      }
    }
  }
  if (!any) return attribute ? 1 : blank_character;
  const size_t bytes = static_cast<size_t>(fh) * 8;
  for (int c = 0; c < 256; ++c) {
    if (std::memcmp(pattern, kx::glyph_rows(font, static_cast<uint8_t>(c)), bytes) == 0) {
      return attribute ? first_ink : static_cast<uint32_t>(c);
    }
  }
  return attribute ? 0 : blank_character;
}
