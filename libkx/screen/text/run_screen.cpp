#include "screen/text/run_screen.h"

#include "screen/images/color_statements.h"
#include "screen/images/image_create.h"
#include "screen/images/image_statements.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cursor.h"
#include "screen/text/print.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace {

void print_text(const char* text, uint8_t end_line) {
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs_print(kxs_new_txt(text), end_line);
  kxs_cleanup(mark, 0);
}

}  // namespace

void kx::show_press_any_key() {
  if (!display_page.load()) return;  // no screen was ever made
  sub__dest(func__display());
  const int32_t rows = text_rows(*write_page);
  kxg_sub_view_print(rows, rows, 1);
  print_text("", 1);
  print_text("Press any key to continue", 0);
}

void kx::reset_screen_for_run() {
  kxg_screen(0, 0, 0, 0, 1);
  kxsub_width(kx_width_screen, 80, 25, 3);
  kxg_sub_view_print(0, 0, 0);
  kxg_palette(0, 0, 0);
  write_page->background_color = 0;
  write_page->color = 7;
  write_page->draw_color = 7;
}
