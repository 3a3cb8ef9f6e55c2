#include "screen/images/screen_modes.h"

#include <cstring>
#include <optional>

#include "base/error.h"
#include "base/hooks.h"
#include "screen/images/display_lock.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "values/conventional_memory.h"

int32_t width8050switch = 0;
int32_t width_lprint = 80;
kx::width_pending kx::pending_width;

namespace {

constexpr uint32_t text_video_memory = 0xB8000;
constexpr uint32_t graphics_video_memory = 0xA0000;
constexpr uint32_t video_window_bytes = 65536;
constexpr uint32_t mode13_bytes = 320 * 200;
constexpr int32_t text_screen_pages = 8;

// The page number last made active; its graphics state carries over to the
// next pixel page made active.
int32_t last_active_page = 0;

struct screen_size {
  int32_t columns = 0;
  int32_t rows = 0;
};

screen_size size_in_characters(const img_struct& image) {
  return {kx::text_columns(image), kx::text_rows(image)};
}

bool is_legacy_mode(int32_t mode) { return mode == 0 || mode == 1 || mode == 2 || (mode >= 7 && mode <= 13); }

// The columns, rows and font SCREEN 0 builds, from what WIDTH left pending
// and the old screen's size.
struct text_layout {
  int32_t columns, rows, font;
};

text_layout choose_text_layout(screen_size old) {
  auto& pending = kx::pending_width;
  text_layout t{80, 25, 16};
  if (pending.columns && pending.rows && pending.font) {
    t = {pending.columns, pending.rows, pending.font};
  } else if (!pending.columns && !pending.rows) {
    const struct {
      int32_t columns, rows, font;
    } kept[] = {{80, 50, 8}, {40, 50, 9}, {80, 43, 8}, {40, 43, 9}, {40, 25, 17}};
    for (const auto& k : kept) {
      if (old.columns == k.columns && old.rows == k.rows) t = {k.columns, k.rows, k.font};
    }
  } else if (!pending.columns) {
    t.rows = pending.rows;
    t.font = pending.rows == 43 ? 14 : pending.rows == 50 ? 8 : 16;
    if (old.columns == 40) {
      t.columns = 40;
      ++t.font;
    }
  } else {
    t.columns = pending.columns;
    t.rows = 25;
    t.font = 16;
    if (old.rows == 43) {
      t.rows = 43;
      t.font = 14;
    } else if (old.rows == 50) {
      t.rows = 50;
      t.font = 8;
    }
    if (t.columns == 40) ++t.font;
  }
  pending = {};
  return t;
}

void make_screen_page_zero(int32_t index) {
  page[0] = index;
  img[index].flags |= img_screen_page;
  write_page_index = read_page_index = index;
  write_page = read_page = &img[index];
  display_page_index = index;
  display_page = &img[index];
}

// Pages 0-7 of a text screen: those that fit in the 64 KB text window lie
// over it, the rest have buffers of their own. All share page 0's palette.
bool build_text_screen(screen_size old) {
  const text_layout t = choose_text_layout(old);
  if (t.columns > image_size_max || t.rows > image_size_max) {
    error(err::illegal_function_call);
    return false;
  }
  uint64_t page_bytes = uint64_t{2} * t.columns * t.rows;
  if (t.columns == 40 && t.rows == 25) page_bytes = 2048;
  if (t.columns == 80 && t.rows == 25) page_bytes = 4096;
  uint64_t framed = video_window_bytes / page_bytes;
  if (framed > text_screen_pages) framed = text_screen_pages;
  if (!page.resize(text_screen_pages)) {
    error(err::out_of_memory);
    return false;
  }
  uint32_t* shared_palette = nullptr;
  for (int32_t n = 0; n < text_screen_pages; ++n) {
    const int32_t index =
        static_cast<uint64_t>(n) < framed
            ? imgframe(&cmem[text_video_memory + n * page_bytes], t.columns, t.rows, 0)
            : imgnew(t.columns, t.rows, 0);
    if (!index) {
      error(err::out_of_memory);
      return false;
    }
    img_struct& made = img[index];
    if (n == 0) {
      shared_palette = made.pal;
      make_screen_page_zero(index);
    } else {
      std::free(made.pal);
      made.flags &= ~img_owns_palette;
      made.pal = shared_palette;
      made.flags |= img_screen_page;
      page[static_cast<uint64_t>(n)] = index;
    }
    selectfont(t.font, &made);
  }
  pages = text_screen_pages;
  for (uint32_t i = 0; i < video_window_bytes; i += 2) {
    cmem[text_video_memory + i] = blank_text_cell & 0xFF;
    cmem[text_video_memory + i + 1] = blank_text_cell >> 8;
  }
  return true;
}

bool build_pixel_screen(int32_t mode, screen_size old) {
  int32_t width = 640, height = 480, font = 16;
  switch (mode) {
    case 1:
    case 7:
      width = 320, height = 200, font = 8;
      break;
    case 2:
    case 8:
      height = 200, font = 8;
      break;
    case 9:
    case 10:
      height = 350;
      font = old.columns == 80 && old.rows == 43 ? 8 : 14;
      break;
    case 11:
    case 12:
      font = old.columns == 80 && old.rows == 60 ? 8 : 16;
      break;
    case 13:
      width = 320, height = 200, font = 8;
      break;
    default:
      break;
  }
  int32_t index;
  if (mode == 13) {
    std::memset(&cmem[graphics_video_memory], 0, mode13_bytes);
    index = imgframe(&cmem[graphics_video_memory], width, height, mode);
  } else {
    index = imgnew(width, height, mode);
  }
  if (!index) {
    error(err::out_of_memory);
    return false;
  }
  make_screen_page_zero(index);
  selectfont(font, &img[index]);
  return true;
}

// Every page of the old screen goes; an application image that was the
// screen only stops being a page.
void free_screen_pages() {
  for (uint64_t n = 1; n < page.capacity(); ++n) {
    if (page[n]) kx::free_image(page[n]);
    page[n] = 0;
  }
  if (page.capacity() && page[0]) {
    img_struct& first = img[page[0]];
    if (first.valid) {
      if (kx::screen_page_is_application_image) {
        first.flags &= ~img_screen_page;
      } else {
        kx::free_image(page[0]);
      }
    }
    page[0] = 0;
  }
  pages = 1;
}

void reset_text_state_of_write_page() {
  defaultcolors();
  img_struct& w = *write_page;
  w.top_row = 1;
  const int32_t rows = kx::text_rows(w);
  if (w.cursor_y > rows) w.cursor_y = 1;
  w.bottom_row = rows - 1 < 1 ? 1 : rows - 1;
}

void make_active(int32_t n) {
  const int32_t index = page[static_cast<uint64_t>(n)];
  if (write_page_index == index && read_page_index == index) return;
  write_page_index = read_page_index = index;
  write_page = read_page = &img[index];
  reset_text_state_of_write_page();
  if (n != last_active_page && !write_page->text && static_cast<uint64_t>(last_active_page) < page.capacity()) {
    const int32_t previous = page[static_cast<uint64_t>(last_active_page)];
    if (previous && img[previous].valid && !img[previous].text) write_page->graphics = img[previous].graphics;
  }
  last_active_page = n;
}

void make_visual(int32_t n) {
  const int32_t index = page[static_cast<uint64_t>(n)];
  if (display_page_index.load() == index) return;
  display_page_index = index;
  display_page = &img[index];
  reset_text_state_of_write_page();
}

}  // namespace

img_struct* kx::active_screen_page() {
  if (static_cast<uint64_t>(last_active_page) >= page.capacity()) return nullptr;
  const int32_t index = page[static_cast<uint64_t>(last_active_page)];
  return index && img[index].valid ? &img[index] : nullptr;
}

bool kx::screen_page_is_application_image = false;

int32_t kx::text_font_for(int32_t columns, int32_t rows) {
  const int32_t font = rows >= 50 ? 8 : rows >= 43 ? 14 : 16;
  return columns <= 40 ? font + 1 : font;
}

void kxg_screen(int32_t mode, int32_t, int32_t apage, int32_t vpage, int32_t passed) {
  if (new_error.load()) return;
  const bool mode_given = passed & 1;
  const bool apage_given = passed & 4;
  const bool vpage_given = passed & 8;
  img_struct* handle_image = nullptr;
  if (mode_given) {
    if (mode < 0) {
      handle_image = kx::image_from_handle(mode);
      if (!handle_image) return;
      // Another page of the current screen would be freed with the screen it
      // is to become.
      if ((handle_image->flags & img_screen_page) && handle_image != &img[page[0]]) {
        error(err::illegal_function_call);
        return;
      }
    } else if (!is_legacy_mode(mode)) {
      error(err::illegal_function_call);
      return;
    }
  }
  if ((apage_given && apage < 0) || (vpage_given && vpage < 0)) {
    error(err::illegal_function_call);
    return;
  }
  const bool screen_exists = page.capacity() && page[0] && img[page[0]].valid;
  const img_struct* first = screen_exists ? &img[page[0]] : nullptr;
  bool change = false;
  if (mode_given) {
    if (handle_image) {
      change = !first || handle_image != first;
    } else {
      change = !first || first->mode != mode;
    }
  }
  const auto& pending = kx::pending_width;
  if (pending.columns || pending.rows || pending.font) change = true;
  if (!change && !first) return;  // no screen and no mode: nothing to show yet
  if (!(mode_given && mode == 0 && passed == 1)) width8050switch = 0;
  if (apage_given && !vpage_given) {
    vpage = apage;
  }
  if (!change) {
    if (apage_given && !validatepage(apage)) return;
    if ((apage_given || vpage_given) && !validatepage(vpage)) return;
    if (apage_given) make_active(apage);
    if (apage_given || vpage_given) make_visual(vpage);
    return;
  }

  const int32_t new_mode = mode_given ? (handle_image ? -1 : mode) : first->mode;
  {
    kx::display_lock hold;
    screen_last_valid = 0;
    const screen_size old = first ? size_in_characters(*first) : screen_size{};
    free_screen_pages();
    kx::screen_page_is_application_image = false;
    bool built;
    if (handle_image) {
      make_screen_page_zero(kx::image_index(handle_image));
      kx::screen_page_is_application_image = true;
      built = true;
    } else if (new_mode == 0) {
      built = build_text_screen(old);
    } else {
      built = build_pixel_screen(new_mode, old);
    }
    if (!built) return;
    write_page->graphics.draw_angle = 0;
    write_page->graphics.draw_scale = 1;
    last_active_page = 0;
  }
  kx::hooks.key_line_redraw.load()();
  if (apage_given && !validatepage(apage)) return;
  if ((apage_given || vpage_given) && !validatepage(vpage)) return;
  if (apage_given) make_active(apage);
  if (apage_given || vpage_given) make_visual(vpage);
}
