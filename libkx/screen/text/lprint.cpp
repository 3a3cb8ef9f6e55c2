#include "screen/text/lprint.h"

#include <mutex>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cls.h"
#include "screen/text/print.h"
#include "values/string_create.h"
#include "values/string_descriptor.h"

int32_t lpos = 1;

namespace {

constexpr int32_t page_width = 640, page_height = 960, page_rows = 60;
constexpr uint32_t paper = 15, ink = 0;
constexpr int64_t idle_page_ms = 10000;

// Guards the printer page between LPRINT and the main-loop thread's flush.
std::mutex printer_page_mutex;
// Both under printer_page_mutex.
img_struct* printer_page = nullptr;
int64_t last_print_ms = 0;

void clear_page(img_struct& page_image) {
  kx::clear_image(page_image, 0, paper);
  page_image.cursor_x = page_image.cursor_y = 1;
}

img_struct* make_printer_page() {
  const int32_t index = imgnew(page_width, page_height, 13);
  if (!index) {
    error(err::out_of_memory);
    return nullptr;
  }
  img_struct& p = img[index];
  p.flags |= img_runtime_owned;
  selectfont(16, &p);
  p.color = ink;
  p.background_color = paper;
  p.draw_color = ink;
  p.top_row = 1;
  p.bottom_row = page_rows;
  clear_page(p);
  lprint_image = index;
  return &p;
}

// Whether the printer page is still there: none is made yet, or the image
// table was reset under it (its record then no longer holds the page).
bool printer_page_exists() {
  return printer_page && printer_page->valid && (printer_page->flags & img_runtime_owned);
}

img_struct* current_printer_page() {
  if (!printer_page_exists()) printer_page = make_printer_page();
  return printer_page;
}

}  // namespace

void kx::printer_page_out() {
  lprint_buffered = 0;
  if (printer_page_exists()) clear_page(*printer_page);
}

void kxs_lprint(kxs* s, uint8_t newline) {
  if (new_error.load()) return;
  std::lock_guard<std::mutex> hold(printer_page_mutex);
  lprint = 1;
  if (current_printer_page()) {
    const int32_t columns = kx::text_columns(*printer_page);
    const kx::print_target to{printer_page, width_lprint < columns ? width_lprint : columns, true};
    kx::print_bytes(to, s->chars, s->length, newline != 0);
    lpos = kx::reported_column(*printer_page);
    lprint_buffered = 1;
    last_print_ms = GetTicks();
    lprint_last = last_print_ms / 1000.0;
  }
  lprint = 0;
}

int32_t func_lpos(int32_t n) {
  if (new_error.load()) return 0;
  if (n < 0 || n > 3) {
    error(err::illegal_function_call);
    return 0;
  }
  return lpos;
}

namespace {

// The printer line's width in characters: WIDTH LPRINT, at most the page's.
int32_t printer_columns() {
  std::lock_guard<std::mutex> hold(printer_page_mutex);
  const int32_t page_columns = current_printer_page() ? kx::text_columns(*printer_page) : page_width / 8;
  return width_lprint < page_columns ? width_lprint : page_columns;
}

}  // namespace

kxs* func_tab_lprint(int32_t n) {
  if (new_error.load()) return kxs_new(0, 1);
  return kx::tab_text(n, lpos, printer_columns(), false);
}

kxs* func_spc_lprint(int32_t n) {
  if (new_error.load()) return kxs_new(0, 1);
  return kx::spc_text(n, lpos, printer_columns(), false);
}

void kx::printer_page_flush_idle() {
  std::unique_lock<std::mutex> hold(printer_page_mutex, std::try_to_lock);
  if (!hold.owns_lock()) return;  // an LPRINT is running
  lprint_locked = 1;
  if (lprint_buffered.load() && GetTicks() - last_print_ms >= idle_page_ms) printer_page_out();
  lprint_locked = 0;
}

void kx::printer_page_flush_at_exit() {
  std::lock_guard<std::mutex> hold(printer_page_mutex);
  if (lprint_buffered.load()) printer_page_out();
}
