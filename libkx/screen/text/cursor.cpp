#include "screen/text/cursor.h"

#include <cstring>

#include "base/error.h"
#include "base/hooks.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "screen/text/print.h"
#include "values/conventional_memory.h"

namespace {

constexpr uint32_t text_video_memory = 0xB8000;
constexpr uint32_t kept_screen_bytes = 4000;  // 80 x 25 cells
constexpr int32_t tall_rows = 50, tall_columns = 80;

// Opens the 80 x 50 screen with the old 25 lines and colours kept.
void switch_to_fifty_lines() {
  uint8_t kept[kept_screen_bytes];
  std::memcpy(kept, &cmem[text_video_memory], kept_screen_bytes);
  const uint32_t color = write_page->color, background = write_page->background_color;
  kxsub_width(kx_width_screen, tall_columns, tall_rows, 3);
  std::memcpy(&cmem[text_video_memory], kept, kept_screen_bytes);
  write_page->color = color;
  write_page->background_color = background;
  write_page->draw_color = color;
}

}  // namespace

void kxg_sub_locate(int32_t row, int32_t column, int32_t visible, int32_t start, int32_t stop, int32_t passed) {
  if (new_error.load()) return;
  const bool has_row = passed & 1, has_column = passed & 2;
  const bool has_visible = passed & 4, has_start = passed & 8, has_stop = passed & 16;
  if ((has_visible && visible != 0 && visible != 1) || (has_start && (start < 0 || start > 31)) ||
      (has_stop && (stop < 0 || stop > 31))) {
    error(err::illegal_function_call);
    return;
  }
  img_struct* image = write_page;
  if (has_row) {
    if (row < image->top_row) {
      error(err::illegal_function_call);
      return;
    }
    if (row > image->bottom_row && row != kx::text_rows(*image)) {
      if (!width8050switch) {
        error(err::illegal_function_call);
        return;
      }
      width8050switch = 0;
      if (row > tall_rows || (has_column && (column < 1 || column > tall_columns))) {
        error(err::illegal_function_call);
        return;
      }
      switch_to_fifty_lines();
      if (new_error.load()) return;
      image = write_page;
    }
  }
  if (has_column && (column < 1 || column > kx::text_columns(*image))) {
    error(err::illegal_function_call);
    return;
  }
  if (has_row) image->cursor_y = row;
  if (has_column) image->cursor_x = column;
  if (has_row || has_column) {
    image->holding_cursor = 0;
  } else if (image->holding_cursor == 1) {
    image->holding_cursor = 2;
  }
  if (!has_visible && !has_start && !has_stop) return;
  const auto apply = [&](img_struct& target) {
    if (has_visible) target.cursor_show = static_cast<uint8_t>(visible);
    if (has_start) target.cursor_first_line = static_cast<uint8_t>(start);
    if (has_stop) target.cursor_last_line = static_cast<uint8_t>(stop);
  };
  if (image->flags & img_screen_page) {
    for (uint64_t n = 0; n < page.capacity(); ++n) {
      if (page[n] && img[page[n]].valid) apply(img[page[n]]);
    }
  } else {
    apply(*image);
  }
}

void kxg_sub_view_print(int32_t top, int32_t bottom, int32_t passed) {
  if (new_error.load()) return;
  img_struct& image = *write_page;
  const int32_t rows = kx::text_rows(image);
  if (passed & 1) {
    if (top < 1 || top > bottom || bottom > rows) {
      error(err::illegal_function_call);
      return;
    }
    image.top_row = top;
    image.bottom_row = bottom;
    image.cursor_y = top;
  } else {
    image.top_row = 1;
    image.bottom_row = rows;
    image.cursor_y = 1;
  }
  image.cursor_x = 1;
  image.holding_cursor = 0;
  kx::hooks.key_line_redraw.load()();
}

int32_t func_csrlin() {
  const img_struct& image = *write_page;
  if (image.holding_cursor) return image.cursor_y < image.bottom_row ? image.cursor_y + 1 : image.bottom_row;
  return image.cursor_y;
}

int32_t func_pos(int32_t) { return kx::reported_column(*write_page); }
